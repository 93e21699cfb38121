// The production script: builds every Scene, node, Material and Texture of the
// show and appends the timeline entries. Runs once, first in the Engine's
// construction, before the display opens.
#pragma once

namespace vorn {

class Engine;
class GeneratedMesh;
class GeometryGenerator;
class Material;
class Model3ds;
class Scene;
class SpectrumBlocks;

constexpr int kProductionScenes = 14;
constexpr int kFormationSize = 5;

// What the script built, by name. None of it is owned here: everything lives
// for the whole run and is never destroyed.
struct Production {
  // The Scenes in creation (and playing) order; creditsPictureScene is never scheduled.
  Scene* haarukkaScene = nullptr;
  Scene* shuttleScene = nullptr;
  Scene* launchScene = nullptr;
  Scene* logoScene = nullptr;
  Scene* sikaPictureScene = nullptr;
  Scene* formationScene = nullptr;
  Scene* mothershipScene = nullptr;
  Scene* sianpaaPictureScene = nullptr;
  Scene* sikaModelScene = nullptr;
  Scene* starsScene = nullptr;
  Scene* creditsScene = nullptr;
  Scene* kyklohepoScene = nullptr;
  Scene* yearPictureScene = nullptr;
  Scene* creditsPictureScene = nullptr;

  // Listed in six Scenes, twice in formationScene.
  Model3ds* skyNode = nullptr;

  Model3ds* bigHaarukka = nullptr;
  Model3ds* firstShip = nullptr;
  Model3ds* smallHaarukka = nullptr;
  Model3ds* secondShip = nullptr;
  Model3ds* launchKarhu[kFormationSize] = {};
  Model3ds* formationKarhu[kFormationSize] = {};
  Model3ds* mothership = nullptr;
  Model3ds* mothershipKarhu[kFormationSize] = {};
  Model3ds* sika = nullptr;
  Model3ds* smallMothership = nullptr;
  Model3ds* stars[2] = {};
  Model3ds* ball = nullptr;
  Model3ds* kyklohepo = nullptr;
  Model3ds* kyklohepoKarhu = nullptr;

  GeneratedMesh* logoPlane = nullptr;
  GeneratedMesh* sikaPlane = nullptr;
  GeneratedMesh* yearPlane = nullptr;
  GeneratedMesh* sianpaaPlane = nullptr;
  GeneratedMesh* creditsPlane = nullptr;

  SpectrumBlocks* spectrumBlocks = nullptr;

  Material* karhuMaterial = nullptr;       // all sixteen karhu models
  Material* mothershipMaterial = nullptr;  // both mothership models
};

// Builds the whole production into the Engine: resets and fills its timeline
// and creates every Scene with its contents, loading every asset relative to
// the working directory. Makes no GL call: the Textures and models it makes
// are read through the Engine's active LoadQueue and uploaded once the
// display is open.
void buildProduction(Engine& engine);

// The production built by the latest buildProduction; all null before.
const Production& production();

}  // namespace vorn
