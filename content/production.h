// The production script: builds every Scene, node, Material and Texture of the
// show and appends the timeline entries. Runs once, last in the Engine's construction.
#pragma once

namespace vorn {

class Engine;

void buildProduction(Engine& engine);

}  // namespace vorn
