// The timeline schedule: which Scene plays when, in which render mode, with
// which transitions. The drawing itself is the Engine's.
#pragma once

namespace vorn {

class Engine;
struct Production;

constexpr int kScheduleEntries = 13;

// Appends the thirteen entries of the show, in drawing order, to the Engine's
// timeline, naming the Scenes of p (which must already exist).
void appendSchedule(Engine& engine, const Production& p);

}  // namespace vorn
