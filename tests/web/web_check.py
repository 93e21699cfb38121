#!/usr/bin/env python3
"""Checks the web build in headless Chromium against the desktop program.

  stills: for each time, the page's ?shot= still and the desktop --shot at the
          same time and frame rate; prints the mean absolute difference per
          channel and the worst 16 x 16 block, and fails when a mean is above
          the limit.
  live:   the page is clicked (a synthetic event) and plays the show's last
          seconds; at the end the overlay must come back, and clicked again
          the show must start over, its demo time and the audio position
          agreeing within 100 ms.
  escape: the same, the first show ended by Escape a few seconds in.

Exits 77 (skipped) when emscripten, chromium or ffmpeg is missing.
Usage: web_check.py stills|live|escape SOURCE_DIR PROGRAM RUN_DIR WORK_DIR [TIMES...]"""
import json
import os
import shutil
import socket
import subprocess
import sys
import time

SKIP = 77
MEAN_LIMIT = 4.0      # of 255, per channel
SYNC_LIMIT = 0.100    # seconds
FPS = 10              # the stills' fixed step: fewer frames to replay than the desktop's 60
BLOCK = 16
WIDTH, HEIGHT = 800, 600
DEFAULT_TIMES = [10, 34, 44, 80, 101, 121, 150]
SHOW_LENGTH = 176.0   # seconds; a show ends with the first frame past it
# The live checks: the page's query, and the demo times the first show's
# last frame may have (Escape is pressed on the first frame from 2 s, whose
# time follows the music however long SwiftShader stalled before it). The
# second show is sampled for SAMPLED seconds.
SAMPLED = 5
LIVE_CHECKS = {
    "live": ("start=171", SHOW_LENGTH, SHOW_LENGTH + 1.0),
    "escape": ("escape=2", 2.0, 20.0),
}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(path, seconds, process):
    end = time.time() + seconds
    while time.time() < end:
        if os.path.exists(path):
            return True
        if process.poll() is not None:
            return False
        time.sleep(0.5)
    return False


def chromium(url, profile):
    return subprocess.Popen(
        ["chromium", "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--autoplay-policy=no-user-gesture-required", "--mute-audio", "--disable-background-timer-throttling",
         "--disable-renderer-backgrounding", f"--user-data-dir={profile}",
         "--window-size=800,600", url],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def rgb(png):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", png, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         check=True, capture_output=True).stdout
    if len(raw) != WIDTH * HEIGHT * 3:
        raise ValueError(f"{png}: not {WIDTH} x {HEIGHT}")
    return raw


def compare(a, b):
    """Mean absolute difference per channel and the worst 16 x 16 block's mean."""
    sums = [0, 0, 0]
    blocks = {}
    for i in range(0, len(a), 3):
        p = i // 3
        key = ((p % WIDTH) // BLOCK, (p // WIDTH) // BLOCK)
        d = abs(a[i] - b[i]) + abs(a[i + 1] - b[i + 1]) + abs(a[i + 2] - b[i + 2])
        sums[0] += abs(a[i] - b[i])
        sums[1] += abs(a[i + 1] - b[i + 1])
        sums[2] += abs(a[i + 2] - b[i + 2])
        blocks[key] = blocks.get(key, 0) + d
    n = WIDTH * HEIGHT
    worst_key = max(blocks, key=blocks.get)
    return [s / n for s in sums], blocks[worst_key] / (3 * BLOCK * BLOCK), worst_key


def main():
    if len(sys.argv) < 6:
        print(__doc__)
        return 2
    mode, source, program, run_dir, work = sys.argv[1:6]
    if mode != "stills" and mode not in LIVE_CHECKS:
        print(__doc__)
        return 2
    times = [float(t) for t in sys.argv[6:]] or DEFAULT_TIMES
    for tool in ("emcc", "chromium", "ffmpeg"):
        if not shutil.which(tool):
            print(f"web_check: {tool} is missing; skipped")
            return SKIP
    os.makedirs(work, exist_ok=True)
    subprocess.run(["bash", os.path.join(source, "scripts/web.sh"), "--build-only", "--run-dir", run_dir],
                   check=True, stdout=subprocess.DEVNULL)
    app = os.path.join(source, "build-web/app")
    uploads = os.path.join(work, "uploads")
    shutil.rmtree(uploads, ignore_errors=True)
    os.makedirs(uploads)
    port = free_port()
    server = subprocess.Popen([sys.executable, os.path.join(source, "web/serve.py"), app, "--port", str(port),
                               "--uploads", uploads], stdout=subprocess.DEVNULL)
    base = f"http://127.0.0.1:{port}/vorndemo.html"
    failed = False
    try:
        time.sleep(1)
        if mode == "stills":
            print(f"{'time':>6} {'mean R':>7} {'mean G':>7} {'mean B':>7} {'worst block':>12} at")
            for t in times:
                name = f"web-{t:g}.png"
                browser = chromium(f"{base}?shot={t:g}&fps={FPS}&post={name}", os.path.join(work, "profile"))
                got = wait_for(os.path.join(uploads, name), 600, browser)
                browser.kill()
                browser.wait()
                if not got:
                    print(f"{t:6g} the page sent no still")
                    failed = True
                    continue
                shutil.copy(os.path.join(uploads, name), os.path.join(work, name))
                native = os.path.join(work, f"native-{t:g}.png")
                subprocess.run([program, "--shot", f"{t:g}", native, "--fps", str(FPS)], cwd=run_dir, check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                means, worst, at = compare(rgb(os.path.join(work, name)), rgb(native))
                print(f"{t:6g} {means[0]:7.2f} {means[1]:7.2f} {means[2]:7.2f} {worst:12.1f} "
                      f"({at[0] * BLOCK},{at[1] * BLOCK})")
                failed |= max(means) > MEAN_LIMIT
        else:
            query, end_from, end_to = LIVE_CHECKS[mode]
            browser = chromium(f"{base}?click=1&{query}&again=1&check={SAMPLED}&post=check.json",
                               os.path.join(work, "profile"))
            got = wait_for(os.path.join(uploads, "check.json"), 300, browser)
            browser.kill()
            browser.wait()
            if not got:
                print("web_check: the page did not start a second show and report its demo time and audio position")
                return 1
            report = json.load(open(os.path.join(uploads, "check.json")))
            samples, ends = report["samples"], report["ends"]
            worst = max(abs(s["demo"] - s["audio"]) for s in samples) if samples else float("inf")
            frames = samples[-1]["frames"] if samples else 0
            end = ends[0] if ends else None
            print(f"first show ended at {end} s (expected {end_from:g} .. {end_to:g}); second show: "
                  f"{len(samples)} samples over {SAMPLED} s, largest |demo time - audio position| "
                  f"{worst * 1000:.0f} ms; {frames} frames drawn in both")
            failed = (not samples or worst > SYNC_LIMIT or len(ends) != 1 or end is None
                      or not end_from <= end < end_to)
    finally:
        server.kill()
        server.wait()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
