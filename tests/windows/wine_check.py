#!/usr/bin/env python3
"""Checks the Windows build (scripts/windows.sh) under Wine against the Linux
program, each run on a private Xvfb of its own (Mesa through Wine's opengl32).

  shots:      --shot at times across the show; decoded pixels identical.
  capture:    --capture DIR of a range of the spectrum pile at 10 fps; every
              frame's decoded pixels and music.wav identical.
  encoder:    --capture x.mp4 with a stand-in ffmpeg (stand_in_encoder.c,
              built for each system) that stores what it is sent; the bytes
              of both programs identical.
  fullscreen: the show full screen on a 1920 x 1080 X screen: the root
              window holds the centred 4:3 picture, black around it, and the
              same pixels as the Linux program's screen.
  errors:     a bad option exits 2 with the usage; without scenes/ one line
              and exit 1; without an audio device the show plays to its end
              and says so as the Linux program does.
  units:      the unit test programs built for Windows (build-win/app/tests)
              pass under Wine.

Exits 77 (skipped) when mingw-w64, wine64, Xvfb, xwd or ffmpeg is missing, or
when scripts/windows.sh has not built the program.
Usage: wine_check.py CHECK SOURCE_DIR PROGRAM RUN_DIR WORK_DIR"""
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import time

SKIP = 77
SHOT_TIMES = [3, 35, 38, 88, 100, 115, 130, 174]  # opening, tile wave (2), pig, tunnel, credits (2), end
CAPTURE_RANGE = ("120", "122")                    # the spectrum pile grows through the credits (106-136 s)
ENCODER_RANGE = ("34", "35")
CAPTURE_FPS = "10"
SHOT_FPS = "10"                                   # the shots' fixed step: fewer frames to replay before each
STILL = "37.5"                                    # the pig picture, as the Linux display tests use it
SCREEN = (1920, 1080)
PICTURE = (240, 0, 1440, 1080)                    # x, y, width, height of the 4:3 picture on that screen
SCREEN_SECONDS = 300
RUN_SECONDS = 600
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
# Wine's own sound drivers off: the program finds no audio device.
NO_AUDIO_DLLS = "mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="


def wine_binary():
    for name in ("wine64", "/usr/lib/wine/wine64", "wine"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Screen:
    """A private Xvfb; its display number chosen by the server (-displayfd)."""

    def __init__(self, width=800, height=600):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24", "+extension", "GLX",
             "-noreset", "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def grab(self, scratch):
        """The root window as RGB bytes, top row first; scratch holds the dump."""
        with open(scratch, "wb") as f:
            subprocess.run(["xwd", "-root", "-silent", "-display", self.display], stdout=f, check=True)
        return subprocess.run(["ffmpeg", "-v", "error", "-i", scratch, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                              capture_output=True, check=True).stdout

    def close(self):
        self.server.terminate()
        self.server.wait()


class Programs:
    """The Linux program and the Windows one under Wine, both run from the
    Linux build's run directory (the same scenes and music)."""

    def __init__(self, program, exe, run_dir, work):
        self.program, self.exe, self.run_dir, self.work = program, exe, run_dir, work
        self.wine = wine_binary()
        self.prefix = os.path.join(os.path.dirname(os.path.abspath(work)), "wine-prefix")

    def env(self, screen, extra=None, windows=False):
        env = dict(os.environ, DISPLAY=screen.display, SDL_AUDIODRIVER="dummy")
        if windows:
            env.update(WINE_ENV, WINEPREFIX=self.prefix)
        for name, value in (extra or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def command(self, args, windows):
        return [self.wine, self.exe] + args if windows else [self.program] + args

    def run(self, args, screen, windows, extra=None, cwd=None):
        return subprocess.run(self.command(args, windows), cwd=cwd or self.run_dir, capture_output=True,
                              text=True, errors="replace", env=self.env(screen, extra, windows),
                              timeout=RUN_SECONDS)

    def start(self, args, screen, windows, extra=None):
        return subprocess.Popen(self.command(args, windows), cwd=self.run_dir, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True, env=self.env(screen, extra, windows))

    def end_wine(self):
        server = os.path.join(os.path.dirname(self.wine), "wineserver")
        if not os.path.exists(server):
            server = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        subprocess.run([server, "-k"], env=dict(os.environ, WINEPREFIX=self.prefix), capture_output=True)


def pixels(png):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", png, "-f", "rawvideo", "-pix_fmt", "rgba", "-"],
                          check=True, capture_output=True).stdout


def same_pixels(a, b):
    return os.path.exists(a) and os.path.exists(b) and pixels(a) == pixels(b)


def both(programs, screen, args_for, label):
    """Runs the Linux program, then the Windows one; True when both exit 0."""
    ok = True
    for windows in (False, True):
        r = programs.run(args_for(windows), screen, windows)
        if r.returncode != 0:
            print(f"{label}: the {'Windows' if windows else 'Linux'} program exited {r.returncode}: "
                  f"{r.stderr.strip()}")
            ok = False
    return ok


def check_shots(p, screen):
    failed = False
    print(f"{'time':>6}  decoded pixels")
    for t in SHOT_TIMES:
        paths = [os.path.join(p.work, f"{'windows' if w else 'linux'}-{t}.png") for w in (False, True)]
        for path in paths:
            if os.path.exists(path):
                os.remove(path)
        ran = both(p, screen, lambda w: ["--shot", str(t), paths[w], "--fps", SHOT_FPS], f"shot {t}")
        same = ran and same_pixels(*paths)
        print(f"{t:6}  {'identical' if same else 'DIFFER'}")
        failed |= not same
    return not failed


def check_capture(p, screen):
    dirs = [os.path.join(p.work, name) for name in ("linux", "windows")]
    for d in dirs:
        shutil.rmtree(d, ignore_errors=True)
    if not both(p, screen, lambda w: ["--capture", dirs[w], "--from", CAPTURE_RANGE[0], "--to", CAPTURE_RANGE[1],
                                      "--fps", CAPTURE_FPS], "capture"):
        return False
    names = [sorted(os.listdir(d)) for d in dirs]
    if names[0] != names[1] or "music.wav" not in names[0]:
        print(f"capture: the folders hold different files: {names[0]} / {names[1]}")
        return False
    frames = [n for n in names[0] if n.endswith(".png")]
    differ = [n for n in frames if not same_pixels(os.path.join(dirs[0], n), os.path.join(dirs[1], n))]
    wav = [open(os.path.join(d, "music.wav"), "rb").read() for d in dirs]
    print(f"capture {CAPTURE_RANGE[0]}-{CAPTURE_RANGE[1]} s at {CAPTURE_FPS} fps: {len(frames)} frames, "
          f"{len(differ)} differ {differ[:5]}; music.wav {'identical' if wav[0] == wav[1] else 'DIFFERS'} "
          f"({len(wav[0])} bytes)")
    return len(frames) > 0 and not differ and wav[0] == wav[1]


def check_encoder(p, screen, source):
    bins = [os.path.join(p.work, name) for name in ("linux-bin", "windows-bin")]
    stand_in = os.path.join(source, "tests/windows/stand_in_encoder.c")
    for d in bins:
        os.makedirs(d, exist_ok=True)
    subprocess.run(["cc", "-O2", "-o", os.path.join(bins[0], "ffmpeg"), stand_in], check=True)
    subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-o", os.path.join(bins[1], "ffmpeg.exe"),
                    stand_in], check=True)
    outputs = [os.path.join(p.work, f"{name}.mp4") for name in ("linux", "windows")]
    ok = True
    for windows in (False, True):
        if os.path.exists(outputs[windows]):
            os.remove(outputs[windows])
        extra = {"WINEPATH": bins[1]} if windows else {"PATH": bins[0] + os.pathsep + os.environ["PATH"]}
        args = ["--capture", outputs[windows], "--from", ENCODER_RANGE[0], "--to", ENCODER_RANGE[1], "--fps",
                CAPTURE_FPS]
        r = p.run(args, screen, windows, extra)
        # Wine now and then fails to bring up a new process at all
        # (CreateProcess: ERROR_INTERNAL_ERROR); that is Wine's, so once more.
        if windows and r.returncode != 0 and "cannot start" in r.stderr and "Internal error" in r.stderr:
            print(f"encoder: Wine could not start the encoder ({r.stderr.strip()}); running once more")
            r = p.run(args, screen, windows, extra)
        if r.returncode != 0:
            print(f"encoder: the {'Windows' if windows else 'Linux'} program exited {r.returncode}: "
                  f"{r.stderr.strip()}")
            ok = False
    if not ok:
        return False
    sent = [open(o, "rb").read() for o in outputs]
    digests = [hashlib.sha256(s).hexdigest()[:16] for s in sent]
    print(f"encoder {ENCODER_RANGE[0]}-{ENCODER_RANGE[1]} s at {CAPTURE_FPS} fps: Linux sent {len(sent[0])} bytes "
          f"({digests[0]}), Windows {len(sent[1])} bytes ({digests[1]})")
    return len(sent[0]) > 0 and sent[0] == sent[1]


def steady_picture(screen, process, scratch):
    """The root window once two grabs a moment apart agree and show a picture."""
    previous = None
    end = time.time() + SCREEN_SECONDS
    while time.time() < end and process.poll() is None:
        now = screen.grab(scratch)
        if now == previous and now.strip(b"\0"):
            return now
        previous = now
        time.sleep(1)
    return None


def bright_box(rgb, width, height):
    """x, y, width, height of the non-black pixels; None when all are black."""
    rows = [y for y in range(height) if rgb[y * width * 3:(y + 1) * width * 3].strip(b"\0")]
    if not rows:
        return None
    left, right = width, -1
    for y in rows:
        row = rgb[y * width * 3:(y + 1) * width * 3]
        left = min(left, (len(row) - len(row.lstrip(b"\0"))) // 3)
        right = max(right, (len(row.rstrip(b"\0")) - 1) // 3)
    return (left, rows[0], right - left + 1, rows[-1] - rows[0] + 1)


def check_fullscreen(p):
    width, height = SCREEN
    shown = []
    for windows in (False, True):
        screen = Screen(width, height)
        process = p.start([], screen, windows, {"VORN_TEST_STILL": STILL})
        try:
            shown.append(steady_picture(screen, process, os.path.join(p.work, "root.xwd")))
        finally:
            process.kill()
            process.wait()
            if windows:
                p.end_wine()
            screen.close()
    ok = True
    for windows, rgb in enumerate(shown):
        name = "Windows" if windows else "Linux"
        box = bright_box(rgb, width, height) if rgb else None
        print(f"{name} program full screen on {width} x {height}: picture at {box} (expected {PICTURE})")
        ok &= box == PICTURE
    if ok:
        same = shown[0] == shown[1]
        print(f"the two screens {'are identical' if same else 'DIFFER'}")
        ok = same
    return ok


def check_errors(p, screen):
    ok = True
    r = p.run(["--no-such-option"], screen, True)
    usage = r.stderr.count("usage: vorndemo")
    print(f"bad option: exit {r.returncode}, usage {'shown' if usage else 'MISSING'}")
    ok &= r.returncode == 2 and usage == 1
    empty = os.path.join(p.work, "empty")
    os.makedirs(empty, exist_ok=True)
    r = p.run(["--shot", "3", "x.png"], screen, True, cwd=empty)
    lines = r.stderr.strip().splitlines()
    print(f"no scenes/: exit {r.returncode}, {len(lines)} line(s): {lines}")
    ok &= r.returncode == 1 and len(lines) == 1
    # Without a sound device the show plays silently, both programs saying so
    # in the same words on standard output.
    args = ["--window", "--start", "175"]
    linux = p.run(args, screen, False, {"SDL_AUDIODRIVER": "nosuchdriver"})
    windows = p.run(args, screen, True, {"WINEDLLOVERRIDES": NO_AUDIO_DLLS, "SDL_AUDIODRIVER": None})
    said = [r.stdout.replace("\r", "").strip().splitlines() for r in (linux, windows)]
    print(f"no audio device: Linux exit {linux.returncode} saying {said[0]}; Windows exit {windows.returncode} "
          f"saying {said[1]}, errors {windows.stderr.strip().splitlines()}")
    ok &= linux.returncode == 0 and windows.returncode == 0 and bool(said[0]) and said[0] == said[1]
    return ok


def check_units(p, screen, tests_dir):
    programs = sorted(glob.glob(os.path.join(tests_dir, "tests_*.exe")))
    if not programs:
        print(f"units: no test programs in {tests_dir}")
        return False
    ok = True
    for exe in programs:
        r = subprocess.run([p.wine, exe, "--gtest_brief=1"], cwd=p.run_dir, capture_output=True, text=True,
                           errors="replace", env=p.env(screen, None, True), timeout=RUN_SECONDS)
        summary = [line for line in r.stdout.splitlines() if line.startswith("[  PASSED  ]")
                   or line.startswith("[  FAILED  ]") or line.startswith("[  SKIPPED ]")]
        print(f"{os.path.basename(exe)}: exit {r.returncode}; {'; '.join(summary)}")
        if r.returncode != 0:
            print(r.stdout[-4000:])
            ok = False
    return ok


def main():
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    check, source, program, run_dir, work = sys.argv[1:6]
    checks = ("shots", "capture", "encoder", "fullscreen", "errors", "units")
    if check not in checks:
        print(__doc__)
        return 2
    for tool in ("x86_64-w64-mingw32-gcc-posix", "Xvfb", "xwd", "ffmpeg"):
        if not shutil.which(tool):
            print(f"wine_check: {tool} is missing; skipped")
            return SKIP
    if not wine_binary():
        print("wine_check: wine64 is missing; skipped")
        return SKIP
    app = os.path.join(source, "build-win/app")
    exe = os.path.join(app, "vorndemo.exe")
    if not os.path.exists(exe):
        print(f"wine_check: {exe} is missing (scripts/windows.sh builds it); skipped")
        return SKIP
    work = os.path.abspath(work)
    os.makedirs(work, exist_ok=True)
    p = Programs(os.path.abspath(program), exe, os.path.abspath(run_dir), work)
    if check == "fullscreen":
        return 0 if check_fullscreen(p) else 1
    screen = Screen()
    try:
        if check == "shots":
            ok = check_shots(p, screen)
        elif check == "capture":
            ok = check_capture(p, screen)
        elif check == "encoder":
            ok = check_encoder(p, screen, source)
        elif check == "errors":
            ok = check_errors(p, screen)
        else:
            ok = check_units(p, screen, os.path.join(app, "tests"))
    finally:
        p.end_wine()
        screen.close()
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
