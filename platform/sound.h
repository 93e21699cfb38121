// Our sound library: the FSOUND call set the music player relies on, over SDL
// audio with Ogg Vorbis streams (libvorbisfile) and a kissfft spectrum.
// Two calls of our own extend it: starting a stream at a position, and a
// manual mode in which no device plays and the caller pulls samples.
#pragma once

extern "C" {
typedef struct FSOUND_STREAM FSOUND_STREAM;
typedef struct FSOUND_SAMPLE FSOUND_SAMPLE;
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;
}

enum {
  FSOUND_OUTPUT_DSOUND = 2,  // here: the default SDL audio driver
  FSOUND_MIXER_QUALITY_FPU = 5,
  FSOUND_FREE = -1,
  FSOUND_NORMAL = 0x130,
  FSOUND_MPEGACCURATE = 0x20000,
};

// The library's error numbers, as FSOUND_GetError reports them; the music
// player holds the text of each.
enum FMOD_ERRORS {
  FMOD_ERR_NONE = 0,
  FMOD_ERR_BUSY = 1,  // a set-up call after FSOUND_Init
  FMOD_ERR_UNINITIALIZED = 2,
  FMOD_ERR_INIT = 3,
  FMOD_ERR_ALLOCATED = 4,  // the output device is already in use
  FMOD_ERR_PLAY = 5,
  FMOD_ERR_OUTPUT_FORMAT = 6,
  FMOD_ERR_COOPERATIVELEVEL = 7,
  FMOD_ERR_CREATEBUFFER = 8,
  FMOD_ERR_FILE_NOTFOUND = 9,
  FMOD_ERR_FILE_FORMAT = 10,
  FMOD_ERR_FILE_BAD = 11,
  FMOD_ERR_MEMORY = 12,
  FMOD_ERR_VERSION = 13,  // file format version not supported
  FMOD_ERR_INVALID_PARAM = 14,
  FMOD_ERR_NO_EAX = 15,
  FMOD_ERR_CHANNEL_ALLOC = 16,
  FMOD_ERR_RECORD = 17,
  FMOD_ERR_MEDIAPLAYER = 18,
};

constexpr int kSpectrumBands = 512;

signed char FSOUND_SetOutput(int outputType);
signed char FSOUND_SetMixer(int mixer);
signed char FSOUND_SetDriver(int driver);
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);
void FSOUND_Close();
int FSOUND_GetError();
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit();
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);
// Always a valid array of kSpectrumBands floats in 0 .. 1; zeros when nothing plays.
float* FSOUND_DSP_GetSpectrum();
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* path, unsigned int mode, int memLength);
// A channel handle (never 0) when the stream started, 0 when it did not.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Stops the stream and rewinds it: a later play starts at the beginning.
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);

namespace vorn::sound {

// Moves the stream's read position to the given second (before or during play).
bool seekStream(FSOUND_STREAM* stream, double seconds);
// Manual mode: FSOUND_Init opens no device; playing streams advance only
// through pullSamples. Set before FSOUND_Init; FSOUND_Close keeps the choice.
void setManualMode(bool manual);
// Mixes the next frames of the playing stream into out (16-bit stereo
// interleaved, frames * 2 values), updates the spectrum from exactly those
// frames, and returns the frames written (the rest is zero-filled silence).
// The spectrum reads each frame as the mono sample (left + right) / 65536.
// Outside manual mode it writes silence and returns 0.
int pullSamples(short* out, int frames);

}  // namespace vorn::sound
