// The score: A minor, 120 BPM, sections on the bar lines where the picture
// changes (22, 32, 40, 56, 78, 96, 106, 136 and 156 s). The credits section
// (106 - 136 s) carries the loudest kick, because the box pile on screen grows
// whenever the 43 - 129 Hz bands are strong.
#include "tools/music/score.h"

#include <array>
#include <cmath>
#include <string_view>

namespace vorn::music {

namespace {

constexpr double kFramesPerStep = static_cast<double>(kRate) * kSecondsPerBar / 16.0;
constexpr int kStepsPerBar = 16;

constexpr int kLaunchBar = 11;      // 22 s: the launch build-up
constexpr int kBreakBar = 16;       // 32 s: logo, then the pig picture at 36 s
constexpr int kDriveBar = 20;       // 40 s: formation, mothership from 56 s
constexpr int kMothershipBar = 28;  // 56 s
constexpr int kBreakdownBar = 39;   // 78 s: pig picture, then the pig model
constexpr int kStarsBar = 48;       // 96 s
constexpr int kCreditsBar = 53;     // 106 s
constexpr int kRepriseBar = 68;     // 136 s
constexpr int kOutroBar = 78;       // 156 s
constexpr int kLastPhraseBar = 82;  // the closing melody, resolving at 170 s

// The credits kick rings longer than the others, so that its thump holds the
// low bands up for a good part of each beat.
constexpr float kCreditsKickSeconds = 0.5f;

struct Chord {
  int bass;                // MIDI note of the bass root (A1 .. C2)
  std::array<int, 3> pad;  // MIDI notes of the pad voicing
};

constexpr Chord kAm{33, {57, 60, 64}};
constexpr Chord kF{29, {57, 60, 65}};
constexpr Chord kC{36, {55, 60, 64}};
constexpr Chord kG{31, {55, 59, 62}};
constexpr Chord kEm{28, {55, 59, 64}};
constexpr Chord kE{28, {56, 59, 64}};

// One letter per bar: a = Am, F, C, G, e = Em, E = E major.
constexpr std::string_view kChordChart =
    "aFCGaFCGaFC"          // 0 - 22 s   calm opening
    "GaFGE"                // 22 - 32 s  launch build-up
    "aFCG"                 // 32 - 40 s  break
    "aFCGaFCGaFCGaFCGaFG"  // 40 - 78 s  driving
    "FGeaFGeaE"            // 78 - 96 s  breakdown
    "aFCGE"                // 96 - 106 s stars
    "aFCGaFCGaFCGaFG"      // 106 - 136 s credits
    "aFCGaFCGFG"           // 136 - 156 s reprise
    "aFCGaFGaaa";          // 156 - 176 s outro
static_assert(kChordChart.size() == kBarCount, "one chord per bar");

const Chord& chordAt(int bar) {
  switch (kChordChart[bar]) {
    case 'F': return kF;
    case 'C': return kC;
    case 'G': return kG;
    case 'e': return kEm;
    case 'E': return kE;
    default: return kAm;
  }
}

// A melody note inside a four-bar phrase, in eighth notes.
struct MelodyNote {
  int eighth;
  int eighths;
  int note;
};

// The main motif over Am F C G, asking a question...
constexpr MelodyNote kPhraseA[] = {{0, 3, 76},  {3, 1, 74},  {4, 2, 72},  {6, 2, 69},  {8, 2, 69},
                                   {10, 2, 72}, {12, 3, 77}, {15, 1, 76}, {16, 3, 76}, {19, 1, 74},
                                   {20, 2, 72}, {22, 2, 67}, {24, 4, 74}, {28, 2, 71}, {30, 2, 74}};
// ...and answering it, climbing to G5 before falling back.
constexpr MelodyNote kPhraseB[] = {{0, 3, 76},  {3, 1, 74},  {4, 2, 72},  {6, 2, 69},  {8, 2, 69},
                                   {10, 2, 72}, {12, 3, 77}, {15, 1, 79}, {16, 2, 76}, {18, 2, 79},
                                   {20, 2, 76}, {22, 2, 72}, {24, 3, 74}, {27, 1, 72}, {28, 4, 71}};
// The same motif an octave higher and busier, for the driving parts.
constexpr MelodyNote kPhraseC[] = {{0, 2, 81},  {2, 1, 79},  {3, 1, 76},  {4, 2, 81},  {6, 1, 83},  {7, 1, 84},
                                   {8, 3, 84},  {11, 1, 83}, {12, 2, 81}, {14, 2, 77}, {16, 3, 79}, {19, 1, 76},
                                   {20, 2, 72}, {22, 2, 76}, {24, 2, 74}, {26, 2, 71}, {28, 2, 74}, {30, 2, 79}};
// Long notes over F G Em Am for the breakdown.
constexpr MelodyNote kPhraseSlow[] = {{0, 4, 69},  {4, 4, 72},  {8, 4, 71}, {12, 4, 74},
                                      {16, 6, 76}, {22, 2, 74}, {24, 8, 72}};
// The closing phrase over Am F G Am, coming to rest on A4.
constexpr MelodyNote kPhraseEnd[] = {{0, 3, 76},  {3, 1, 74},  {4, 4, 72},  {8, 4, 69},
                                     {12, 4, 72}, {16, 4, 71}, {20, 4, 74}, {24, 12, 69}};

template <size_t N>
void playPhrase(Mix& mix, const MelodyNote (&phrase)[N], int firstBar, float velocity, int untilBar = kBarCount) {
  for (const MelodyNote& n : phrase) {
    if (firstBar + n.eighth / 8 >= untilBar) continue;
    const int start = frameAt(firstBar, n.eighth * 2);
    const int length = static_cast<int>(n.eighths * 2 * kFramesPerStep * 0.9);
    const float accent = n.eighth % 8 == 0 ? 1.0f : 0.9f;
    addLead(mix, start, length, n.note, velocity * accent);
  }
}

int steps(double count) { return static_cast<int>(count * kFramesPerStep); }

// Pads over [firstBar, endBar), one note per chord tone, held across bars
// that repeat the chord; brightness moves linearly from one value to another.
void pads(Mix& mix, int firstBar, int endBar, float velocity, float brightnessFrom, float brightnessTo) {
  for (int bar = firstBar; bar < endBar;) {
    int next = bar + 1;
    while (next < endBar && kChordChart[next] == kChordChart[bar]) ++next;
    const float along = endBar - firstBar > 1 ? static_cast<float>(bar - firstBar) / (endBar - firstBar - 1) : 0.0f;
    const float brightness = brightnessFrom + (brightnessTo - brightnessFrom) * along;
    const int length = frameAt(next) - frameAt(bar) - steps(0.5);
    for (int note : chordAt(bar).pad) addPad(mix, frameAt(bar), length, note, velocity, brightness);
    bar = next;
  }
}

// Chord tones climbing through two octaves; stepsPerNote 1 = sixteenths, 2 = eighths.
void arpeggio(Mix& mix, int bar, int stepsPerNote, float velocity, int octave) {
  constexpr int kPattern[] = {0, 1, 2, 3, 2, 1, 3, 2};
  const auto& pad = chordAt(bar).pad;
  const int tones[] = {pad[0], pad[1], pad[2], pad[0] + 12};
  for (int step = 0, i = 0; step < kStepsPerBar; step += stepsPerNote, ++i) {
    const int note = tones[kPattern[i % 8]] + 12 * octave;
    const float pan = i % 2 == 0 ? -0.45f : 0.45f;
    addPluck(mix, frameAt(bar, step), note, velocity * (step % 4 == 0 ? 1.0f : 0.8f), pan);
  }
}

void fourOnTheFloor(Mix& mix, int bar, float velocity, bool duck, float bodySeconds = 0.3f) {
  for (int beat = 0; beat < 4; ++beat) addKick(mix, frameAt(bar, beat * 4), velocity, duck, bodySeconds);
}

void backbeat(Mix& mix, int bar, float velocity) {
  addSnare(mix, frameAt(bar, 4), velocity);
  addSnare(mix, frameAt(bar, 12), velocity);
}

// Closed hats on the eighths (the off-beats louder), optionally open hats on
// the off-beats and quiet closed sixteenths between.
void hats(Mix& mix, int bar, float velocity, bool openOffbeats, bool sixteenths) {
  for (int step = 0; step < kStepsPerBar; ++step) {
    const bool offbeat = step % 4 == 2;
    if (step % 2 == 1) {
      if (sixteenths) addHat(mix, frameAt(bar, step), velocity * 0.35f, false);
    } else if (offbeat && openOffbeats) {
      addHat(mix, frameAt(bar, step), velocity * 0.8f, true);
    } else {
      addHat(mix, frameAt(bar, step), velocity * (offbeat ? 0.9f : 0.6f), false);
    }
  }
}

// Snare hits every stepsPerHit sixteenths from fromStep to the bar's end,
// swelling from one velocity to another.
void snareRoll(Mix& mix, int bar, int fromStep, int stepsPerHit, float from, float to) {
  const int hits = (kStepsPerBar - fromStep + stepsPerHit - 1) / stepsPerHit;
  for (int i = 0; i < hits; ++i) {
    const float along = hits > 1 ? static_cast<float>(i) / (hits - 1) : 1.0f;
    addSnare(mix, frameAt(bar, fromStep + i * stepsPerHit), from + (to - from) * along);
  }
}

// Bass on every eighth; with octaveJumps the off-beats go an octave up.
void bassEighths(Mix& mix, int bar, float velocity, float brightness, bool octaveJumps) {
  const int root = chordAt(bar).bass;
  for (int step = 0; step < kStepsPerBar; step += 2) {
    const bool offbeat = step % 4 == 2;
    const int note = root + (octaveJumps && offbeat ? 12 : 0);
    addBass(mix, frameAt(bar, step), steps(1.6), note, velocity * (offbeat ? 0.85f : 1.0f), brightness);
  }
}

// Bass only on the off-beat eighths, between the kicks: the pumping figure.
void bassOffbeats(Mix& mix, int bar, float velocity, float brightness) {
  const int root = chordAt(bar).bass;
  for (int beat = 0; beat < 4; ++beat) {
    const int note = root + (beat % 2 == 1 ? 12 : 0);
    addBass(mix, frameAt(bar, beat * 4 + 2), steps(1.5), note, velocity, brightness);
  }
}

void bassHeld(Mix& mix, int bar, int bars, float velocity, float brightness) {
  addBass(mix, frameAt(bar), frameAt(bar + bars) - frameAt(bar) - steps(1), chordAt(bar).bass, velocity, brightness);
}

void calmOpening(Mix& mix) {
  pads(mix, 0, kLaunchBar, 1.3f, 0.12f, 0.4f);
  for (int bar = 2; bar < kLaunchBar; ++bar) arpeggio(mix, bar, 2, 0.45f + 0.03f * bar, 1);
  playPhrase(mix, kPhraseA, 4, 0.55f);
  playPhrase(mix, kPhraseB, 8, 0.6f, kLaunchBar);
  addHat(mix, frameAt(kLaunchBar - 1, 12), 0.5f, true);
}

void launchBuildUp(Mix& mix) {
  pads(mix, kLaunchBar, kBreakBar, 1.0f, 0.4f, 0.85f);
  addRiser(mix, frameAt(kLaunchBar + 1), frameAt(kBreakBar) - frameAt(kLaunchBar + 1), 1.0f);
  for (int bar = kLaunchBar; bar < kBreakBar; ++bar) {
    const float along = static_cast<float>(bar - kLaunchBar) / (kBreakBar - 1 - kLaunchBar);
    fourOnTheFloor(mix, bar, 0.5f + 0.3f * along, true);
    bassEighths(mix, bar, 0.75f, 0.15f + 0.5f * along, false);
    if (bar > kLaunchBar) hats(mix, bar, 0.5f + 0.4f * along, false, bar >= kLaunchBar + 3);
    arpeggio(mix, bar, bar >= kLaunchBar + 2 ? 1 : 2, 0.45f + 0.35f * along, 1);
  }
  backbeat(mix, kLaunchBar + 2, 0.6f);
  snareRoll(mix, kLaunchBar + 3, 0, 2, 0.45f, 0.7f);
  snareRoll(mix, kLaunchBar + 4, 0, 1, 0.5f, 1.0f);
}

void pictureBreak(Mix& mix) {
  addKick(mix, frameAt(kBreakBar), 1.0f, false);
  addCrash(mix, frameAt(kBreakBar), 1.0f);
  addCrash(mix, frameAt(kBreakBar + 2), 0.6f);
  pads(mix, kBreakBar, kDriveBar, 1.0f, 0.7f, 0.45f);
  playPhrase(mix, kPhraseA, kBreakBar, 0.8f);
  for (int bar = kBreakBar; bar < kDriveBar; ++bar) arpeggio(mix, bar, 2, 0.4f, 1);
  bassHeld(mix, kBreakBar + 2, 1, 0.5f, 0.1f);
  bassHeld(mix, kBreakBar + 3, 1, 0.5f, 0.1f);
  snareRoll(mix, kDriveBar - 1, 12, 1, 0.4f, 0.9f);
}

// The full groove, shared by the driving section and the reprise.
void groove(Mix& mix, int bar, float kick, bool busy) {
  fourOnTheFloor(mix, bar, kick, true);
  backbeat(mix, bar, 0.8f);
  hats(mix, bar, 0.75f, busy, busy);
  bassEighths(mix, bar, 0.9f, busy ? 0.55f : 0.4f, busy);
}

void drivingSection(Mix& mix) {
  pads(mix, kDriveBar, kBreakdownBar, 0.8f, 0.4f, 0.5f);
  for (int bar = kDriveBar; bar < kBreakdownBar; ++bar) groove(mix, bar, 0.8f, bar >= kMothershipBar);
  for (int bar : {kDriveBar, kMothershipBar, kMothershipBar + 8}) addCrash(mix, frameAt(bar), 0.8f);
  playPhrase(mix, kPhraseA, kDriveBar, 0.85f);
  playPhrase(mix, kPhraseB, kDriveBar + 4, 0.85f);
  playPhrase(mix, kPhraseC, kMothershipBar, 0.8f);
  playPhrase(mix, kPhraseC, kMothershipBar + 4, 0.85f);
  playPhrase(mix, kPhraseA, kMothershipBar + 8, 0.85f, kBreakdownBar);
  snareRoll(mix, kBreakdownBar - 1, 8, 1, 0.5f, 1.0f);
}

void breakdown(Mix& mix) {
  addCrash(mix, frameAt(kBreakdownBar), 0.9f);
  addKick(mix, frameAt(kBreakdownBar), 0.7f, false);
  pads(mix, kBreakdownBar, kStarsBar, 1.0f, 0.25f, 0.5f);
  playPhrase(mix, kPhraseSlow, kBreakdownBar, 0.7f);
  playPhrase(mix, kPhraseSlow, kBreakdownBar + 4, 0.75f);
  for (int bar = kBreakdownBar + 4; bar < kStarsBar; ++bar) {
    bassHeld(mix, bar, 1, 0.45f, 0.15f);
    hats(mix, bar, 0.35f + 0.08f * (bar - kBreakdownBar - 4), false, false);
    arpeggio(mix, bar, 2, 0.3f, 1);
  }
  addRiser(mix, frameAt(kStarsBar - 2), frameAt(kStarsBar) - frameAt(kStarsBar - 2), 0.8f);
  snareRoll(mix, kStarsBar - 1, 0, 2, 0.3f, 0.6f);
}

// Half-time drums under sparkling sixteenth arpeggios.
void stars(Mix& mix) {
  addCrash(mix, frameAt(kStarsBar), 0.8f);
  pads(mix, kStarsBar, kCreditsBar, 0.8f, 0.5f, 0.7f);
  for (int bar = kStarsBar; bar < kCreditsBar - 1; ++bar) {
    addKick(mix, frameAt(bar), 0.75f, true);
    addKick(mix, frameAt(bar, 10), 0.6f, true);
    addSnare(mix, frameAt(bar, 8), 0.7f);
    hats(mix, bar, 0.5f, false, false);
    arpeggio(mix, bar, 1, 0.55f, 1);
    bassHeld(mix, bar, 1, 0.6f, 0.25f);
  }
  const int lastBar = kCreditsBar - 1;
  fourOnTheFloor(mix, lastBar, 0.8f, true);
  snareRoll(mix, lastBar, 0, 1, 0.35f, 1.0f);
  arpeggio(mix, lastBar, 1, 0.7f, 1);
  bassEighths(mix, lastBar, 0.8f, 0.5f, false);
  addRiser(mix, frameAt(lastBar - 1), frameAt(kCreditsBar) - frameAt(lastBar - 1), 1.0f);
}

// The strongest part: a full kick on every beat (it drives the box pile),
// clap-like snare on two and four, open hats and a pumping off-beat bass.
void credits(Mix& mix) {
  pads(mix, kCreditsBar, kRepriseBar, 0.85f, 0.5f, 0.65f);
  for (int bar = kCreditsBar; bar < kRepriseBar; ++bar) {
    fourOnTheFloor(mix, bar, 1.0f, true, kCreditsKickSeconds);
    backbeat(mix, bar, 0.9f);
    hats(mix, bar, 0.85f, true, true);
    bassOffbeats(mix, bar, 1.0f, 0.7f);
    if ((bar - kCreditsBar) % 4 == 0) addCrash(mix, frameAt(bar), 0.8f);
  }
  playPhrase(mix, kPhraseA, kCreditsBar, 0.9f);
  playPhrase(mix, kPhraseB, kCreditsBar + 4, 0.9f);
  playPhrase(mix, kPhraseC, kCreditsBar + 8, 0.9f);
  playPhrase(mix, kPhraseA, kCreditsBar + 12, 0.9f, kRepriseBar);
  snareRoll(mix, kRepriseBar - 1, 12, 1, 0.5f, 1.0f);
}

void reprise(Mix& mix) {
  addCrash(mix, frameAt(kRepriseBar), 0.9f);
  addCrash(mix, frameAt(kRepriseBar + 4), 0.7f);
  pads(mix, kRepriseBar, kOutroBar, 0.85f, 0.5f, 0.4f);
  for (int bar = kRepriseBar; bar < kOutroBar; ++bar) groove(mix, bar, 0.8f, bar < kOutroBar - 2);
  playPhrase(mix, kPhraseC, kRepriseBar, 0.85f);
  playPhrase(mix, kPhraseB, kRepriseBar + 4, 0.85f);
  for (int bar = kOutroBar - 2; bar < kOutroBar; ++bar) arpeggio(mix, bar, 1, 0.5f, 1);
}

void outro(Mix& mix) {
  addCrash(mix, frameAt(kOutroBar), 0.7f);
  pads(mix, kOutroBar, kBarCount, 0.85f, 0.4f, 0.15f);
  for (int bar = kOutroBar; bar < kOutroBar + 4; ++bar) {
    addKick(mix, frameAt(bar), 0.55f - 0.1f * (bar - kOutroBar), false);
    hats(mix, bar, 0.45f - 0.1f * (bar - kOutroBar), false, false);
    bassHeld(mix, bar, 1, 0.5f, 0.15f);
    arpeggio(mix, bar, 2, 0.4f, 1);
  }
  playPhrase(mix, kPhraseA, kOutroBar, 0.55f);
  playPhrase(mix, kPhraseEnd, kLastPhraseBar, 0.5f);
  for (int bar = kLastPhraseBar; bar < kBarCount - 2; ++bar) arpeggio(mix, bar, 2, 0.3f, 2);
}

}  // namespace

int frameAt(int bar, double step) {
  return static_cast<int>(std::lround((bar * kStepsPerBar + step) * kFramesPerStep));
}

void composeSoundtrack(Mix& mix) {
  calmOpening(mix);
  launchBuildUp(mix);
  pictureBreak(mix);
  drivingSection(mix);
  breakdown(mix);
  stars(mix);
  credits(mix);
  reprise(mix);
  outro(mix);
}

}  // namespace vorn::music
