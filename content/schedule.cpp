// The thirteen timeline entries of the 176-second show, as a table.
#include "content/schedule.h"

#include "app/engine.h"
#include "content/production.h"

namespace vorn {

namespace {

struct ScheduleRow {
  float start;  // seconds of demo time
  float end;
  FadeKind fadeInKind;
  float fadeInLength;  // seconds
  FadeKind fadeOutKind;
  float fadeOutLength;  // seconds
  RenderMode mode;
  Scene* Production::*scene;
};

// Entries follow each other without a gap; the first two play together, the
// feedback picture first and the ship plainly over it.
const ScheduleRow kSchedule[kScheduleEntries] = {
    {0, 22, FadeNone, 0, FadeNone, 0, RenderFeedback, &Production::haarukkaScene},
    {0, 22, FadeNone, 0, FadeNone, 0, RenderPlain, &Production::shuttleScene},
    {22, 32, FadeNone, 0, FadeNone, 0, RenderPlain, &Production::launchScene},
    {32, 36, FadePixelate, 1, FadeTileWave, 2, RenderPlain, &Production::logoScene},
    {36, 40, FadePixelate, 1, FadeTileWave, 2, RenderPlain, &Production::sikaPictureScene},
    {40, 56, FadeNone, 0, FadeNone, 0, RenderGlow, &Production::formationScene},
    {56, 78, FadeNone, 0, FadeNone, 0, RenderGlow, &Production::mothershipScene},
    {78, 82, FadeNone, 0, FadeNone, 0, RenderPixelateInOut, &Production::sianpaaPictureScene},
    {82, 96, FadeNone, 0, FadeNone, 0, RenderGlowOut, &Production::sikaModelScene},
    {96, 106, FadeNone, 0, FadeNone, 0, RenderRadialGlowPulse, &Production::starsScene},
    {106, 136, FadeNone, 0, FadeNone, 0, RenderPixelateInOut, &Production::creditsScene},
    {136, 156, FadeNone, 0, FadeNone, 0, RenderGlow, &Production::kyklohepoScene},
    {156, 176, FadePixelate, 4, FadeTileWave, 8, RenderPlain, &Production::yearPictureScene},
};

}  // namespace

void appendSchedule(Engine& engine, const Production& p) {
  for (const ScheduleRow& row : kSchedule) {
    TimelineEntry entry;
    entry.start = row.start;
    entry.end = row.end;
    entry.fadeInKind = row.fadeInKind;
    entry.fadeInLength = row.fadeInLength;
    entry.fadeOutKind = row.fadeOutKind;
    entry.fadeOutLength = row.fadeOutLength;
    entry.mode = row.mode;
    entry.scene = p.*row.scene;
    engine.appendEntry(entry);
  }
}

}  // namespace vorn
