// Escape-key query over SDL events, standing in for an asynchronous key-state
// poll: reports the key when it is down now or was pressed since the last query.
#pragma once

namespace vorn {

// Drains pending SDL events. True when Escape is held, was pressed since the
// previous call, or the window was asked to close. Needs SDL video initialised.
bool escapeRequested();

}  // namespace vorn
