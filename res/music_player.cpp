// MusicPlayer over our FSOUND library: set-up at construction, one stream,
// and the failure lines on standard output; the library does the playing.
#include "res/music_player.h"

#include <cstdio>
#include <string>

#include "platform/ogg_pages.h"
#include "platform/sound.h"

namespace vorn {

MusicPlayer* musicPlayer = nullptr;

namespace {

constexpr int kSoftwareChannels = 32;
constexpr unsigned int kStreamMode = FSOUND_NORMAL | FSOUND_MPEGACCURATE;

constexpr const char* kErrorTexts[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};
constexpr int kErrorTextCount = static_cast<int>(sizeof kErrorTexts / sizeof kErrorTexts[0]);

}  // namespace

MusicPlayer::MusicPlayer(int rate, MusicOutput output) : mixRate(rate) {
  sound::setManualMode(output == MusicOutput::Pulled);
  FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
  FSOUND_SetMixer(FSOUND_MIXER_QUALITY_FPU);
  FSOUND_SetDriver(0);
  initialised = FSOUND_Init(mixRate, kSoftwareChannels, 0) != 0;
  if (!initialised) std::printf("Could not initialize ludrasound\n");
  // Switched on even after a failed init: harmless, and the spectrum stays a valid (silent) array.
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  sampleCount = 0;
}

MusicPlayer::~MusicPlayer() {
  for (int i = 0; i < sampleCount; ++i) FSOUND_Sample_Free(samples[i]);
  FSOUND_Close();  // safe when a failed open closed the library already
}

// Besides the lines on stdout, a file that cannot be played, or plays only in
// part, is named once on stderr, as every damaged asset is. Without an
// initialised library the file was never tried and only stdout speaks.
int MusicPlayer::open(const char* path) {
  if (initialised) stream = FSOUND_Stream_OpenFile(path, kStreamMode, 0);
  if (stream) {
    const std::string damage = sound::oggPageDamage(path);
    if (!damage.empty()) std::fprintf(stderr, "vorndemo: music \"%s\" is damaged: %s\n", path, damage.c_str());
    return 0;
  }
  const int error = FSOUND_GetError();
  std::printf("Error!\n");
  std::printf("%s\n", errorText(error));
  if (initialised) std::fprintf(stderr, "vorndemo: music \"%s\" not played: %s\n", path, errorText(error));
  FSOUND_Close();
  return 1;
}

void MusicPlayer::play() {
  if (!initialised || !stream) return;
  if (FSOUND_Stream_Play(FSOUND_FREE, stream) != 0) playing = 1;
}

void MusicPlayer::stop() {
  if (stream && playing) FSOUND_Stream_Stop(stream);
  playing = 0;
}

void MusicPlayer::seek(double seconds) {
  if (stream) sound::seekStream(stream, seconds);
}

void MusicPlayer::seekToSample(long long sample) { seek(static_cast<double>(sample) / mixRate); }

int MusicPlayer::pull(int16_t* out, int frames) { return sound::pullSamples(out, frames); }

const float* MusicPlayer::spectrum() { return FSOUND_DSP_GetSpectrum(); }

const char* MusicPlayer::errorText(int error) {
  if (error < 0 || error >= kErrorTextCount) return "Unknown error";
  return kErrorTexts[error];
}

}  // namespace vorn
