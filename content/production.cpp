// The production script: creates the fourteen Scenes, the shared geometry and
// the timeline, then every Scene's models, picture planes, Materials, keys and
// layers. Drawing is left to the Scenes and the timeline.
#include "content/production.h"

#include <GL/gl.h>

#include <initializer_list>

#include "app/engine.h"
#include "content/credits_layers.h"
#include "content/key_tables.h"
#include "content/picture_layer.h"
#include "content/schedule.h"
#include "content/shared_geometry.h"
#include "fx/screen_size.h"
#include "res/music_player.h"
#include "res/texture.h"
#include "scene/generated_mesh.h"
#include "scene/material.h"
#include "scene/model3ds.h"
#include "scene/spectrum_blocks.h"

namespace vorn {

namespace {

// Everything below is created with new and never destroyed: Scenes, nodes,
// Materials and Textures all live until the process ends. This record keeps
// them reachable by name.
struct ProductionState {
  Production built;
};

ProductionState state;

struct FlagSetting {
  int flag;
  int value;
};

// A Material with its own Texture of picture in slot 0 (none when picture is
// null), its colour, and its flags set in the order given.
Material* makeMaterial(const char* picture, Colour colour, std::initializer_list<FlagSetting> flags) {
  auto* material = new Material();
  for (const FlagSetting& f : flags) material->setFlag(f.flag, f.value);
  material->setColour(colour.r, colour.g, colour.b, colour.a);
  if (picture) material->setTexture(0, new Texture(picture));
  return material;
}

constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// A model node playing its file's animation from entry-local 0 over animLength
// seconds, posed and keyed by rows.
Model3ds* makeModel(const char* path, float animLength, Material* material, const std::vector<KeyRow>& rows) {
  auto* model = new Model3ds(path, 0.0f, animLength);
  storeKeyRows(*model, rows);
  model->setMaterial(material);
  return model;
}

// A 40 x 40 square at the origin showing one picture; the set-up Camera, 20
// units away with a 90-degree view, sees exactly this square.
GeneratedMesh* picturePlane(Material* material) {
  auto* plane = new GeneratedMesh();
  plane->setFormat(GL_T2F_N3F_V3F);
  sharedGeometry()->addQuad(*plane, 20.0f, 20.0f);
  plane->setMaterial(material);
  storeKeyRows(*plane, keys::kPicturePlane);
  return plane;
}

Material* planeMaterial(const char* picture, Colour colour) {
  return makeMaterial(picture, colour, {{FlatShade, 1}, {Textured, 1}, {AlphaBlend, 1}});
}

// Replaces the set-up key of the Camera with rows; its scale keeps (1, 1, 1).
void rekeyCamera(Scene& scene, const std::vector<KeyRow>& rows) {
  scene.camera->clearTracks();
  storeKeyRows(*scene.camera, rows);
}

Scene* newScene(const char* name) {
  auto* scene = new Scene();
  scene->setup(StandardCamera);
  scene->name = name;
  return scene;
}

void createScenes(Production& p) {
  p.haarukkaScene = newScene("haarukkaScene");
  p.shuttleScene = newScene("shuttleScene");
  p.launchScene = newScene("launchScene");
  p.logoScene = newScene("logoScene");
  p.sikaPictureScene = newScene("sikaPictureScene");
  p.formationScene = newScene("formationScene");
  p.mothershipScene = newScene("mothershipScene");
  p.sianpaaPictureScene = newScene("sianpaaPictureScene");
  p.sikaModelScene = newScene("sikaModelScene");
  p.starsScene = newScene("starsScene");
  p.creditsScene = newScene("creditsScene");
  p.kyklohepoScene = newScene("kyklohepoScene");
  p.yearPictureScene = newScene("yearPictureScene");
  p.creditsPictureScene = newScene("creditsPictureScene");
}

void buildSky(Production& p) {
  Material* sky = makeMaterial("scenes/avaruus.png", {0.5f, 0.5f, 0.5f, 0.5f},
                               {{FlatShade, 1}, {DepthTest, 1}, {AdditiveBlend, 1}, {Textured, 1}});
  p.skyNode = new Model3ds("scenes/avaruus.3ds", 0.0f, 1.0f);
  p.skyNode->setPosition(keys::kSkyPosition.x, keys::kSkyPosition.y, keys::kSkyPosition.z);
  storeKeyRows(*p.skyNode, keys::kSky);
  p.skyNode->setMaterial(sky);
  p.formationScene->addNode(p.skyNode);
}

void buildHaarukkaScene(Production& p) {
  Material* material =
      makeMaterial("scenes/nekku.png", {1.0f, 0.6f, 0.4f, 0.5f},
                   {{AdditiveBlend, 1}, {FlatShade, 1}, {Textured, 1}, {SphereMap, 1}, {TextureMode, 1}});
  p.bigHaarukka = makeModel("scenes/haarukka.3ds", 32.0f, material, keys::kBigHaarukka);
  p.haarukkaScene->addNode(p.bigHaarukka);
}

void buildShuttleScene(Production& p) {
  Material* material = makeMaterial("scenes/shuttle.png", kWhite, {{FlatShade, 1}, {Textured, 1}, {DepthTest, 1}});
  p.firstShip = makeModel("scenes/avaruusalus01.3ds", 10.0f, material, keys::kFirstShip);
  p.shuttleScene->addNode(p.firstShip);
}

void buildLaunchScene(Production& p) {
  Material* haarukka = makeMaterial("scenes/nekku.png", kWhite, {{DepthTest, 1}, {FlatShade, 1}, {Textured, 1}});
  p.smallHaarukka = makeModel("scenes/haarukka.3ds", 32.0f, haarukka, keys::kSmallHaarukka);
  p.launchScene->addNode(p.smallHaarukka);

  Material* ship = makeMaterial("scenes/shuttle.png", kWhite, {{FlatShade, 1}, {Textured, 1}, {DepthTest, 1}});
  p.secondShip = makeModel("scenes/avaruusalus01.3ds", 10.0f, ship, keys::kSecondShip);
  p.launchScene->addNode(p.secondShip);

  p.karhuMaterial = makeMaterial("scenes/hauki.png", kWhite, {{FlatShade, 1}, {DepthTest, 1}, {Textured, 1}});
  for (int i = 0; i < kFormationSize; ++i) {
    p.launchKarhu[i] = makeModel("scenes/karhu.3ds", 100.0f, p.karhuMaterial, keys::launchKarhu(static_cast<float>(i)));
    p.launchScene->addNode(p.launchKarhu[i]);
  }
}

void buildPictureScenes(Production& p) {
  p.logoPlane = picturePlane(planeMaterial("scenes/vornlogo.png", kWhite));
  p.logoScene->addNode(p.logoPlane);
  p.sikaPlane = picturePlane(planeMaterial("scenes/sika.png", {1.0f, 1.0f, 1.0f, 0.0f}));
  p.sikaPictureScene->addNode(p.sikaPlane);
  p.yearPlane = picturePlane(planeMaterial("scenes/vorn2003.png", {1.0f, 1.0f, 1.0f, 0.0f}));
  p.yearPictureScene->addNode(p.yearPlane);
  p.sianpaaPlane = picturePlane(planeMaterial("scenes/sianpaa.png", kWhite));
  p.sianpaaPictureScene->addNode(p.sianpaaPlane);
}

void buildFormationScene(Production& p) {
  for (int i = 0; i < kFormationSize; ++i) {
    p.formationKarhu[i] =
        makeModel("scenes/karhu.3ds", 100.0f, p.karhuMaterial, keys::formationKarhu(keys::kFormationOffsets[i]));
    p.formationScene->addNode(p.formationKarhu[i]);
  }
  rekeyCamera(*p.formationScene, keys::kFormationCamera);
}

void buildMothershipScene(Production& p) {
  p.mothershipScene->addNode(p.skyNode);
  p.mothershipMaterial = makeMaterial("scenes/mothership.png", kWhite, {{FlatShade, 1}, {Textured, 1}, {DepthTest, 1}});
  p.mothership = makeModel("scenes/mothership.3ds", 10.0f, p.mothershipMaterial, keys::kMothership);
  p.mothershipScene->addNode(p.mothership);
  // A negative length keeps their 3DS animation at its first frame.
  for (int i = 0; i < kFormationSize; ++i) {
    p.mothershipKarhu[i] =
        makeModel("scenes/karhu.3ds", -300.0f, p.karhuMaterial, keys::mothershipKarhu(keys::kFormationOffsets[i]));
    p.mothershipScene->addNode(p.mothershipKarhu[i]);
  }
  rekeyCamera(*p.mothershipScene, keys::kMothershipCamera);
}

void buildSikaModelScene(Production& p) {
  p.sikaModelScene->addNode(p.skyNode);
  Material* sika = makeMaterial("scenes/shuttle6.png", kWhite, {{FlatShade, 1}, {Textured, 1}, {DepthTest, 1}});
  p.sika = makeModel("scenes/sika.3ds", 1.0f, sika, keys::kSika);
  p.sikaModelScene->addNode(p.sika);
  p.smallMothership = makeModel("scenes/mothership.3ds", 10.0f, p.mothershipMaterial, keys::kSmallMothership);
  p.sikaModelScene->addNode(p.smallMothership);
  rekeyCamera(*p.sikaModelScene, keys::kSikaModelCamera);
}

void buildStarsScene(Production& p) {
  p.starsScene->addNode(p.skyNode);
  Material* stars = makeMaterial(nullptr, kWhite, {{FlatShade, 1}, {AdditiveBlend, 1}, {DepthTest, 1}});
  for (int i = 0; i < 2; ++i) {
    p.stars[i] = makeModel("scenes/tahdettahdet.3ds", 1.0f, stars, keys::stars(static_cast<float>(i)));
    p.starsScene->addNode(p.stars[i]);
  }
}

void addLayerFrom(Scene& scene, const LayerRecipe& r) {
  addLayer(scene, r.picture, r.x, r.y, r.width, r.height, r.kind, r.inTime, r.holdTime, r.outTime);
}

void buildCreditsScene(Production& p) {
  Material* ball = makeMaterial("scenes/zolviapallo.png", {1.0f, 1.0f, 1.0f, 0.3f},
                                {{Textured, 1}, {AdditiveBlend, 1}, {AlphaBlend, 1}, {DepthTest, 1}, {FlatShade, 1}});
  // Length 0: the ball holds its last 3DS frame.
  p.ball = makeModel("scenes/zolviapallo.3ds", 0.0f, ball, keys::kBall);
  p.creditsScene->addNode(p.ball);

  for (const LayerRecipe& layer : kCreditsLayers) addLayerFrom(*p.creditsScene, layer);

  // The music player does not exist yet; the object reads the spectrum
  // without one.
  p.spectrumBlocks = new SpectrumBlocks(musicPlayer);
  storeKeyRows(*p.spectrumBlocks, keys::kSpectrumBlocks);
  p.creditsScene->addNode(p.spectrumBlocks);

  storeKeyRows(*p.creditsScene->camera, keys::kCreditsCamera);
}

void buildKyklohepoScene(Production& p) {
  p.kyklohepoScene->addNode(p.skyNode);
  Material* kyklohepo = makeMaterial("scenes/kyklohepo.png", kWhite, {{FlatShade, 1}, {Textured, 1}, {DepthTest, 1}});
  p.kyklohepo = makeModel("scenes/kyklohepo.3ds", 1.0f, kyklohepo, keys::kKyklohepo);
  p.kyklohepoScene->addNode(p.kyklohepo);
  rekeyCamera(*p.kyklohepoScene, keys::kKyklohepoCamera);
  p.kyklohepoKarhu = makeModel("scenes/karhu.3ds", 100.0f, p.karhuMaterial, keys::kKyklohepoKarhu);
  p.kyklohepoScene->addNode(p.kyklohepoKarhu);
  addLayerFrom(*p.kyklohepoScene,
               {"scenes/piirijutu.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 12, 17, 20});
}

void buildCreditsPictureScene(Production& p) {
  Material* credits =
      makeMaterial("scenes/credits.png", kWhite, {{FlatShade, 1}, {AdditiveBlend, 1}, {Textured, 1}, {AlphaBlend, 1}});
  p.creditsPlane = picturePlane(credits);
  p.creditsPictureScene->addNode(p.creditsPlane);
}

}  // namespace

void buildProduction(Engine& engine) {
  Production p;
  engine.entryCount = 0;
  createScenes(p);
  createSharedGeometry();
  appendSchedule(engine, p);

  // skyNode heads six node lists; formationScene lists it twice.
  buildSky(p);
  buildHaarukkaScene(p);
  p.formationScene->addNode(p.skyNode);
  p.launchScene->addNode(p.skyNode);
  buildShuttleScene(p);
  buildLaunchScene(p);
  buildPictureScenes(p);
  buildFormationScene(p);
  buildMothershipScene(p);
  buildSikaModelScene(p);
  buildStarsScene(p);
  buildCreditsScene(p);
  buildKyklohepoScene(p);
  buildCreditsPictureScene(p);

  state.built = p;
}

const Production& production() { return state.built; }

}  // namespace vorn
