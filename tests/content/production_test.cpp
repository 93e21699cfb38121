// The built production, checked without drawing where possible: the timeline,
// every Scene's node list, Materials and their pictures, keys, the credits
// layers and addLayer's limits. One windowed Engine per test binary builds the
// production inside a scratch directory of tiny fixture assets: each picture
// has its own size and each model its own mesh name, so every Texture and
// model shows which file it was loaded from.
#include "content/production.h"

#include <GL/gl.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/engine.h"
#include "content/picture_layer.h"
#include "platform/png_file.h"
#include "res/texture.h"
#include "scene/generated_mesh.h"
#include "scene/material.h"
#include "scene/model3ds.h"
#include "scene/spectrum_blocks.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

// Pictures in fixture order; picture k is 2^(k % 5) x 2^(k / 5 + 1) pixels,
// its top half in one colour and its bottom half in another, so that its size
// names it and its colours show which way up it is drawn. Power-of-two sides
// keep GLU from rescaling the fixtures.
const char* const kPictures[] = {
    "hauki",         "avaruus",      "nekku",       "shuttle",     "vornlogo",     "sika",         "vorn2003",
    "sianpaa",       "mothership",   "shuttle6",    "kyklohepo",   "credits",      "zolviapallo",  "piirijutu",
    "jostu",         "jostucredits", "prog",        "progcredits", "melti",        "melticredits", "rekoni",
    "hobrikcredits", "vaske",        "vaskeharppu", "ondri",       "ondricredits",
};
// The full-screen layer pictures are fully transparent so that what lies
// under them (the ondri layer, the Scene) stays visible.
const char* const kClearPictures[] = {"piirijutu",     "jostu", "jostucredits", "prog",
                                      "progcredits",   "melti", "melticredits", "rekoni",
                                      "hobrikcredits", "vaske", "vaskeharppu",  "ondricredits"};
// Models; model k holds one mesh named "m<k>".
const char* const kModels[] = {"avaruus", "haarukka",     "avaruusalus01", "karhu",      "mothership",
                               "sika",    "tahdettahdet", "kyklohepo",     "zolviapallo"};

struct Rgb {
  int r, g, b;
};

int pictureIndex(const std::string& name) {
  for (size_t k = 0; k < std::size(kPictures); ++k)
    if (name == kPictures[k]) return static_cast<int>(k);
  return -1;
}

int pictureWidth(size_t k) { return 1 << (k % 5); }
int pictureHeight(size_t k) { return 2 << (k / 5); }
Rgb topColour(int k) { return {(k * 37 + 40) % 256, (k * 91 + 20) % 256, (k * 53 + 90) % 256}; }
Rgb bottomColour(int k) { return {255 - topColour(k).r, 255 - topColour(k).g, 255 - topColour(k).b}; }

bool writePicture(const std::string& path, int k, bool clear) {
  const int w = pictureWidth(static_cast<size_t>(k));
  const int h = pictureHeight(static_cast<size_t>(k));
  std::vector<unsigned char> pixels;
  for (int i = 0; i < w * h; ++i) {
    const Rgb c = i < w * h / 2 ? topColour(k) : bottomColour(k);
    pixels.push_back(static_cast<unsigned char>(c.r));
    pixels.push_back(static_cast<unsigned char>(c.g));
    pixels.push_back(static_cast<unsigned char>(c.b));
    pixels.push_back(clear ? 0 : 255);
  }
  std::string error;
  return writePng(path, w, h, pixels, error);
}

bool writeModel(const std::string& path, int k) {
  Lib3dsFile* file = lib3ds_file_new();
  const std::string mesh = "m" + std::to_string(k);
  lib3ds_file_insert_mesh(file, lib3ds_mesh_new(mesh.c_str()));
  const bool ok = lib3ds_file_save(file, path.c_str()) != 0;
  lib3ds_file_free(file);
  return ok;
}

// The Engine and the production, built once for the whole binary in a
// directory that holds only the fixture assets.
struct Fixture {
  std::string dir;
  std::string error;
  std::unique_ptr<Engine> engine;
};

Fixture& fixture() {
  static Fixture f = [] {
    Fixture made;
    made.dir = (fs::temp_directory_path() / ("vorn-content-" + std::to_string(getpid()))).string();
    fs::remove_all(made.dir);
    fs::create_directories(made.dir + "/scenes");
    for (size_t k = 0; k < std::size(kPictures); ++k) {
      const std::string name = kPictures[k];
      const bool clear =
          std::find(std::begin(kClearPictures), std::end(kClearPictures), name) != std::end(kClearPictures);
      if (!writePicture(made.dir + "/scenes/" + name + ".png", static_cast<int>(k), clear))
        made.error = "cannot write picture " + name;
    }
    for (size_t k = 0; k < std::size(kModels); ++k)
      if (!writeModel(made.dir + "/scenes/" + kModels[k] + ".3ds", static_cast<int>(k)))
        made.error = std::string("cannot write model ") + kModels[k];
    if (chdir(made.dir.c_str()) != 0) made.error = "cannot enter " + made.dir;
    static const std::string* const dirToRemove = new std::string(made.dir);
    std::atexit([] { fs::remove_all(*dirToRemove); });
    if (made.error.empty()) {
      made.engine = std::make_unique<Engine>(DisplayOptions{800, 600, 32, false}, buildProduction);
      if (!made.engine->ok()) made.error = "no display: run under scripts/with-display.sh";
    }
    return made;
  }();
  return f;
}

// The picture a Material's slot 0 was loaded from, told by its size.
std::string pictureOf(const Material* m) {
  if (!m || !m->textures[0]) return "";
  for (size_t k = 0; k < std::size(kPictures); ++k)
    if (m->textures[0]->width() == pictureWidth(k) && m->textures[0]->height() == pictureHeight(k)) return kPictures[k];
  return "?";
}

// The model file a node loaded, told by its one mesh name.
std::string modelOf(Model3ds* model) {
  if (!model->file) return "";
  for (size_t k = 0; k < std::size(kModels); ++k) {
    const std::string mesh = "m" + std::to_string(k);
    if (lib3ds_file_mesh_by_name(model->file, mesh.c_str())) return kModels[k];
  }
  return "?";
}

class ProductionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Fixture& f = fixture();
    ASSERT_TRUE(f.error.empty()) << f.error;
    engine = f.engine.get();
    p = &production();
  }
  void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

  Engine* engine = nullptr;
  const Production* p = nullptr;
};

void expectVec(const Vec3& v, const Vec3& want, const std::string& what) {
  EXPECT_FLOAT_EQ(v.x, want.x) << what;
  EXPECT_FLOAT_EQ(v.y, want.y) << what;
  EXPECT_FLOAT_EQ(v.z, want.z) << what;
}

struct K {
  float time;
  Vec3 v;
};

void expectTrack(const Track& track, const std::vector<K>& want, const std::string& what) {
  ASSERT_EQ(track.keyCount(), static_cast<int>(want.size())) << what;
  for (size_t i = 0; i < want.size(); ++i) {
    const Key& k = track.key(static_cast<int>(i));
    const std::string at = what + " key " + std::to_string(i);
    EXPECT_FLOAT_EQ(k.time, want[i].time) << at;
    expectVec({k.x, k.y, k.z}, want[i].v, at);
    EXPECT_FLOAT_EQ(k.w, 1.0f) << at;
  }
}

// ---- timeline ----

TEST_F(ProductionTest, AppendsTheThirteenEntriesInOrder) {
  struct Row {
    float start, end;
    int fadeInKind;
    float fadeInLength;
    int fadeOutKind;
    float fadeOutLength;
    int mode;
    Scene* Production::*scene;
  };
  const Row rows[] = {
      {0, 22, 0, 0, 0, 0, 1, &Production::haarukkaScene},
      {0, 22, 0, 0, 0, 0, 0, &Production::shuttleScene},
      {22, 32, 0, 0, 0, 0, 0, &Production::launchScene},
      {32, 36, 2, 1, 1, 2, 0, &Production::logoScene},
      {36, 40, 2, 1, 1, 2, 0, &Production::sikaPictureScene},
      {40, 56, 0, 0, 0, 0, 2, &Production::formationScene},
      {56, 78, 0, 0, 0, 0, 2, &Production::mothershipScene},
      {78, 82, 0, 0, 0, 0, 4, &Production::sianpaaPictureScene},
      {82, 96, 0, 0, 0, 0, 5, &Production::sikaModelScene},
      {96, 106, 0, 0, 0, 0, 7, &Production::starsScene},
      {106, 136, 0, 0, 0, 0, 4, &Production::creditsScene},
      {136, 156, 0, 0, 0, 0, 2, &Production::kyklohepoScene},
      {156, 176, 2, 4, 1, 8, 0, &Production::yearPictureScene},
  };
  ASSERT_EQ(engine->entryCount, 13);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i);
    const TimelineEntry& e = engine->entries[i];
    const Row& r = rows[i];
    EXPECT_EQ(e.start, r.start);
    EXPECT_EQ(e.end, r.end);
    EXPECT_EQ(e.fadeInKind, r.fadeInKind);
    EXPECT_EQ(e.fadeInLength, r.fadeInLength);
    EXPECT_EQ(e.fadeOutKind, r.fadeOutKind);
    EXPECT_EQ(e.fadeOutLength, r.fadeOutLength);
    EXPECT_EQ(e.mode, r.mode);
    ASSERT_NE(e.scene, nullptr);
    EXPECT_EQ(e.scene, p->*r.scene);
  }
}

TEST_F(ProductionTest, CreditsPictureSceneIsNeverScheduled) {
  for (int i = 0; i < engine->entryCount; ++i) EXPECT_NE(engine->entries[i].scene, p->creditsPictureScene);
}

// ---- scenes and node lists ----

std::vector<Scene*> allScenes(const Production& p) {
  return {p.haarukkaScene,  p.shuttleScene,    p.launchScene,         p.logoScene,          p.sikaPictureScene,
          p.formationScene, p.mothershipScene, p.sianpaaPictureScene, p.sikaModelScene,     p.starsScene,
          p.creditsScene,   p.kyklohepoScene,  p.yearPictureScene,    p.creditsPictureScene};
}

TEST_F(ProductionTest, FourteenDistinctScenesEachWithItsOwnCamera) {
  const auto scenes = allScenes(*p);
  std::vector<Camera*> cameras;
  for (size_t i = 0; i < scenes.size(); ++i) {
    ASSERT_NE(scenes[i], nullptr) << i;
    ASSERT_NE(scenes[i]->camera, nullptr) << i;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(scenes[i], scenes[j]) << i << " " << j;
    cameras.push_back(scenes[i]->camera);
  }
  std::sort(cameras.begin(), cameras.end());
  EXPECT_EQ(std::unique(cameras.begin(), cameras.end()), cameras.end());
}

TEST_F(ProductionTest, NodeListsInOrder) {
  auto karhu = [](Model3ds* const(&k)[kFormationSize]) { return std::vector<Node*>(std::begin(k), std::end(k)); };
  auto join = [](std::vector<Node*> head, const std::vector<Node*>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  struct Row {
    const char* name;
    Scene* scene;
    std::vector<Node*> nodes;
    int layers;
  };
  const Row rows[] = {
      {"haarukka", p->haarukkaScene, {p->bigHaarukka}, 0},
      {"shuttle", p->shuttleScene, {p->firstShip}, 0},
      {"launch", p->launchScene, join({p->skyNode, p->smallHaarukka, p->secondShip}, karhu(p->launchKarhu)), 0},
      {"logo", p->logoScene, {p->logoPlane}, 0},
      {"sika picture", p->sikaPictureScene, {p->sikaPlane}, 0},
      {"formation", p->formationScene, join({p->skyNode, p->skyNode}, karhu(p->formationKarhu)), 0},
      {"mothership", p->mothershipScene, join({p->skyNode, p->mothership}, karhu(p->mothershipKarhu)), 0},
      {"sianpaa picture", p->sianpaaPictureScene, {p->sianpaaPlane}, 0},
      {"sika model", p->sikaModelScene, {p->skyNode, p->sika, p->smallMothership}, 0},
      {"stars", p->starsScene, {p->skyNode, p->stars[0], p->stars[1]}, 0},
      {"credits", p->creditsScene, {p->ball, p->spectrumBlocks}, 12},
      {"kyklohepo", p->kyklohepoScene, {p->skyNode, p->kyklohepo, p->kyklohepoKarhu}, 1},
      {"year picture", p->yearPictureScene, {p->yearPlane}, 0},
      {"credits picture", p->creditsPictureScene, {p->creditsPlane}, 0},
  };
  std::vector<Node*> seen;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    for (Node* n : r.nodes) ASSERT_NE(n, nullptr);
    EXPECT_EQ(r.scene->nodeList, r.nodes);
    EXPECT_EQ(r.scene->layerCount, r.layers);
    for (Node* n : r.nodes)
      if (n != p->skyNode) seen.push_back(n);
  }
  // Apart from the sky, no node sits in two lists or twice in one.
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

// Counts the updates and draws one Scene render gives the sky.
class CountingNode : public Node {
 public:
  explicit CountingNode(Node& inner) : inner_(inner) {}
  void update(float t) override {
    ++updates;
    inner_.update(t);
  }
  void render() override {
    ++renders;
    inner_.render();
  }
  int updates = 0;
  int renders = 0;

 private:
  Node& inner_;
};

TEST_F(ProductionTest, FormationSceneUpdatesAndDrawsTheSkyTwicePerFrame) {
  const struct {
    const char* name;
    Scene* scene;
    int times;
  } rows[] = {{"launch", p->launchScene, 1},         {"formation", p->formationScene, 2},
              {"mothership", p->mothershipScene, 1}, {"sika model", p->sikaModelScene, 1},
              {"stars", p->starsScene, 1},           {"kyklohepo", p->kyklohepoScene, 1},
              {"haarukka", p->haarukkaScene, 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    CountingNode counter(*p->skyNode);
    std::vector<Node*> saved = r.scene->nodeList;
    for (Node*& n : r.scene->nodeList)
      if (n == p->skyNode) n = &counter;
    r.scene->render(3.0f);
    r.scene->nodeList = saved;
    EXPECT_EQ(counter.updates, r.times);
    EXPECT_EQ(counter.renders, r.times);
  }
}

// ---- models ----

TEST_F(ProductionTest, ModelsLoadTheirFilesWithTheirAnimationLengthAndMaterial) {
  struct Row {
    const char* name;
    Model3ds* model;
    const char* file;
    float animLength;
    const char* picture;  // of the Material's slot 0; "" for none
  };
  std::vector<Row> rows = {
      {"sky", p->skyNode, "avaruus", 1, "avaruus"},
      {"big haarukka", p->bigHaarukka, "haarukka", 32, "nekku"},
      {"first ship", p->firstShip, "avaruusalus01", 10, "shuttle"},
      {"small haarukka", p->smallHaarukka, "haarukka", 32, "nekku"},
      {"second ship", p->secondShip, "avaruusalus01", 10, "shuttle"},
      {"mothership", p->mothership, "mothership", 10, "mothership"},
      {"sika", p->sika, "sika", 1, "shuttle6"},
      {"small mothership", p->smallMothership, "mothership", 10, "mothership"},
      {"star 0", p->stars[0], "tahdettahdet", 1, ""},
      {"star 1", p->stars[1], "tahdettahdet", 1, ""},
      {"ball", p->ball, "zolviapallo", 0, "zolviapallo"},
      {"kyklohepo", p->kyklohepo, "kyklohepo", 1, "kyklohepo"},
      {"kyklohepo karhu", p->kyklohepoKarhu, "karhu", 100, "hauki"},
  };
  for (int i = 0; i < kFormationSize; ++i) {
    rows.push_back({"launch karhu", p->launchKarhu[i], "karhu", 100, "hauki"});
    rows.push_back({"formation karhu", p->formationKarhu[i], "karhu", 100, "hauki"});
    // Negative: their 3DS animation never leaves its first frame.
    rows.push_back({"mothership karhu", p->mothershipKarhu[i], "karhu", -300, "hauki"});
  }
  std::vector<Lib3dsFile*> files;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_NE(r.model, nullptr);
    EXPECT_EQ(modelOf(r.model), r.file);
    EXPECT_EQ(r.model->animStart, 0.0f);
    EXPECT_EQ(r.model->animLength, r.animLength);
    ASSERT_NE(r.model->material, nullptr);
    EXPECT_EQ(pictureOf(r.model->material), r.picture);
    files.push_back(r.model->file);
  }
  // Every model node loads its own copy of its file.
  std::sort(files.begin(), files.end());
  EXPECT_EQ(std::adjacent_find(files.begin(), files.end()), files.end());
}

TEST_F(ProductionTest, SharedAndOwnMaterials) {
  ASSERT_NE(p->karhuMaterial, nullptr);
  for (int i = 0; i < kFormationSize; ++i) {
    EXPECT_EQ(p->launchKarhu[i]->material, p->karhuMaterial);
    EXPECT_EQ(p->formationKarhu[i]->material, p->karhuMaterial);
    EXPECT_EQ(p->mothershipKarhu[i]->material, p->karhuMaterial);
  }
  EXPECT_EQ(p->kyklohepoKarhu->material, p->karhuMaterial);
  EXPECT_EQ(p->mothership->material, p->mothershipMaterial);
  EXPECT_EQ(p->smallMothership->material, p->mothershipMaterial);
  EXPECT_EQ(p->stars[0]->material, p->stars[1]->material);

  // The two ships and the two haarukkas have Materials and Textures of their own.
  EXPECT_NE(p->firstShip->material, p->secondShip->material);
  EXPECT_NE(p->firstShip->material->textures[0], p->secondShip->material->textures[0]);
  EXPECT_NE(p->bigHaarukka->material, p->smallHaarukka->material);
  EXPECT_NE(p->bigHaarukka->material->textures[0], p->smallHaarukka->material->textures[0]);
}

// ---- Materials ----

struct MaterialRow {
  const char* name;
  const Material* material;
  const char* picture;
  Colour colour;
  int flags[9];  // flags 0 .. 8
};

void expectMaterial(const MaterialRow& r) {
  SCOPED_TRACE(r.name);
  ASSERT_NE(r.material, nullptr);
  EXPECT_EQ(pictureOf(r.material), r.picture);
  EXPECT_FLOAT_EQ(r.material->colour.r, r.colour.r);
  EXPECT_FLOAT_EQ(r.material->colour.g, r.colour.g);
  EXPECT_FLOAT_EQ(r.material->colour.b, r.colour.b);
  EXPECT_FLOAT_EQ(r.material->colour.a, r.colour.a);
  for (int f = 0; f < 9; ++f) EXPECT_EQ(r.material->flags[f], r.flags[f]) << "flag " << f;
  for (int f = 9; f < kMaterialFlagCount; ++f) EXPECT_EQ(r.material->flags[f], 0) << "flag " << f;
  for (int slot = 1; slot < kTextureUnits; ++slot) EXPECT_EQ(r.material->textures[slot], nullptr);
  EXPECT_EQ(r.material->colourTrack.keyCount(), 0);
}

TEST_F(ProductionTest, MaterialsHaveTheirPictureColourAndFlags) {
  //                 flags: 0  Flat Smooth Add Alpha Tex Sphere Depth Mode
  const MaterialRow rows[] = {
      {"karhu", p->karhuMaterial, "hauki", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"sky", p->skyNode->material, "avaruus", {0.5f, 0.5f, 0.5f, 0.5f}, {0, 1, 0, 1, 0, 1, 0, 1, 0}},
      {"big haarukka", p->bigHaarukka->material, "nekku", {1, 0.6f, 0.4f, 0.5f}, {0, 1, 0, 1, 0, 1, 1, 0, 1}},
      {"first ship", p->firstShip->material, "shuttle", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"second ship", p->secondShip->material, "shuttle", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"small haarukka", p->smallHaarukka->material, "nekku", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"mothership", p->mothershipMaterial, "mothership", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"sika", p->sika->material, "shuttle6", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"stars", p->stars[0]->material, "", {1, 1, 1, 1}, {0, 1, 0, 1, 0, 0, 0, 1, 0}},
      {"kyklohepo", p->kyklohepo->material, "kyklohepo", {1, 1, 1, 1}, {0, 1, 0, 0, 0, 1, 0, 1, 0}},
      {"ball", p->ball->material, "zolviapallo", {1, 1, 1, 0.3f}, {0, 1, 0, 1, 1, 1, 0, 1, 0}},
      {"logo plane", p->logoPlane->material, "vornlogo", {1, 1, 1, 1}, {0, 1, 0, 0, 1, 1, 0, 0, 0}},
      {"sika plane", p->sikaPlane->material, "sika", {1, 1, 1, 0}, {0, 1, 0, 0, 1, 1, 0, 0, 0}},
      {"year plane", p->yearPlane->material, "vorn2003", {1, 1, 1, 0}, {0, 1, 0, 0, 1, 1, 0, 0, 0}},
      {"sianpaa plane", p->sianpaaPlane->material, "sianpaa", {1, 1, 1, 1}, {0, 1, 0, 0, 1, 1, 0, 0, 0}},
      {"credits plane", p->creditsPlane->material, "credits", {1, 1, 1, 1}, {0, 1, 0, 1, 1, 1, 0, 0, 0}},
  };
  for (const MaterialRow& r : rows) expectMaterial(r);
}

TEST_F(ProductionTest, PicturePlanesAreFortyUnitSquaresAtTheOrigin) {
  for (GeneratedMesh* plane : {p->logoPlane, p->sikaPlane, p->yearPlane, p->sianpaaPlane, p->creditsPlane}) {
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->getFormat(), GL_T2F_N3F_V3F);
    ASSERT_EQ(plane->vertexCount, 6);
    float lo = 0, hi = 0;
    for (int v = 0; v < 6; ++v) {
      lo = std::min({lo, plane->positions[3 * v], plane->positions[3 * v + 1]});
      hi = std::max({hi, plane->positions[3 * v], plane->positions[3 * v + 1]});
      EXPECT_EQ(plane->positions[3 * v + 2], 0.0f);
    }
    EXPECT_EQ(lo, -20.0f);
    EXPECT_EQ(hi, 20.0f);
    expectTrack(plane->positionTrack, {{0, {0, 0, 0}}}, "plane position");
    expectTrack(plane->rotationTrack, {{0, {0, 0, 0}}}, "plane rotation");
    expectTrack(plane->scaleTrack, {{0, {1, 1, 1}}}, "plane scale");
  }
}

// ---- keys ----

TEST_F(ProductionTest, LaunchKarhuLeaveOneAfterAnother) {
  for (int i = 0; i < kFormationSize; ++i) {
    SCOPED_TRACE(testing::Message() << "karhu " << i);
    const float fi = static_cast<float>(i);
    const Model3ds& m = *p->launchKarhu[i];
    expectTrack(m.positionTrack,
                {{0, {0, 0, -500}}, {fi + 2, {100, -100, -470}}, {fi + 11, {50, 15 * fi - 30, 40 * fi + 200}}},
                "position");
    expectTrack(m.rotationTrack, {{0, {0, 0, 0}}, {fi + 2, {75, 0, 90}}, {fi + 11, {180, 0, 180}}}, "rotation");
    expectTrack(m.scaleTrack, {{0, {0.1f, 0.1f, 0.1f}}, {fi + 11, {0.2f, 0.2f, 0.2f}}}, "scale");
  }
  // Karhu 3 resolved: keys at 5 and 14, last position (50, 15, 320).
  EXPECT_EQ(p->launchKarhu[3]->positionTrack.key(1).time, 5.0f);
  expectVec({p->launchKarhu[3]->positionTrack.key(2).x, p->launchKarhu[3]->positionTrack.key(2).y,
             p->launchKarhu[3]->positionTrack.key(2).z},
            {50, 15, 320}, "karhu 3 last position");
}

TEST_F(ProductionTest, TheVFliesInFormationAndClosesOnTheMothership) {
  const Vec3 starts[] = {{-80, 0, 500}, {-40, 0, 450}, {0, 0, 400}, {40, 0, 450}, {80, 0, 500}};
  const Vec3 ends[] = {{-80, 0, -300}, {-40, 0, -350}, {0, 0, -400}, {40, 0, -350}, {80, 0, -300}};
  const Vec3 docked[] = {{-40, 0, -380}, {-20, 0, -380}, {0, 0, -380}, {20, 0, -380}, {40, 0, -380}};
  for (int i = 0; i < kFormationSize; ++i) {
    SCOPED_TRACE(testing::Message() << "karhu " << i);
    const Model3ds& f = *p->formationKarhu[i];
    expectTrack(f.positionTrack, {{0, starts[i]}, {16, ends[i]}}, "formation position");
    expectTrack(f.rotationTrack, {{0, {0, 0, 0}}}, "formation rotation");
    expectTrack(f.scaleTrack, {{0, {0.2f, 0.2f, 0.2f}}}, "formation scale");

    const Model3ds& m = *p->mothershipKarhu[i];
    expectTrack(m.positionTrack, {{0, starts[i]}, {24, docked[i]}}, "mothership position");
    expectTrack(m.rotationTrack, {{0, {0, 0, 0}}}, "mothership rotation");
    expectTrack(m.scaleTrack, {{0, {0.2f, 0.2f, 0.2f}}, {16, {0.15f, 0.15f, 0.15f}}, {24, {0.1f, 0.1f, 0.1f}}},
                "mothership scale");
  }
}

TEST_F(ProductionTest, SceneCameras) {
  const Vec3 unit{1, 1, 1};
  // Set up and never re-keyed.
  for (Scene* s : {p->haarukkaScene, p->shuttleScene, p->launchScene, p->logoScene, p->sikaPictureScene,
                   p->sianpaaPictureScene, p->starsScene, p->yearPictureScene, p->creditsPictureScene}) {
    expectTrack(s->camera->positionTrack, {{0, {0, 0, -20}}}, "set-up position");
    expectTrack(s->camera->rotationTrack, {{0, {0, 0, 0}}}, "set-up rotation");
    expectTrack(s->camera->scaleTrack, {{0, unit}}, "set-up scale");
  }

  const Camera& formation = *p->formationScene->camera;
  expectTrack(formation.positionTrack, {{0, {60, -38, 0}}, {10, {60, -38, -30}}, {15, {60, -38, 300}}},
              "formation position");
  expectTrack(formation.rotationTrack, {{0, {0, 30, 180}}, {10, {0, 30, 0}}, {15, {0, 30, 0}}}, "formation rotation");
  expectTrack(formation.scaleTrack, {}, "formation scale");
  expectVec(formation.scale, unit, "formation scale stays");

  // No position key at 8.
  const Camera& mothership = *p->mothershipScene->camera;
  expectTrack(mothership.positionTrack,
              {{0, {0, 0, 0}}, {7, {0, 0, 0}}, {7.5f, {-30, -20, 0}}, {16, {30, -20, 0}}, {24, {0, -100, 280}}},
              "mothership position");
  expectTrack(mothership.rotationTrack,
              {{0, {0, 180, 0}},
               {7, {0, 180, 0}},
               {7.5f, {0, 180, -30}},
               {8, {20, 180, 0}},
               {16, {20, 0, 0}},
               {24, {60, 0, 0}}},
              "mothership rotation");
  expectTrack(mothership.scaleTrack, {}, "mothership scale");
  expectVec(mothership.scale, unit, "mothership scale stays");

  const Camera& sika = *p->sikaModelScene->camera;
  expectTrack(sika.positionTrack,
              {{0, {-500, -100, 800}}, {8, {-200, -100, -800}}, {10, {0, -90, -700}}, {16, {0, -70, -450}}},
              "sika position");
  expectTrack(sika.rotationTrack, {{0, {0, -90, 0}}, {8, {0, -90, 0}}, {10, {0, 0, 0}}}, "sika rotation");
  expectTrack(sika.scaleTrack, {}, "sika scale");

  // Keeps its set-up key and gains two.
  const Camera& credits = *p->creditsScene->camera;
  expectTrack(credits.positionTrack, {{0, {0, 0, -20}}, {15, {0, 0, -20}}, {20, {-10, -3, -5}}}, "credits position");
  expectTrack(credits.rotationTrack, {{0, {0, 0, 0}}, {15, {0, 0, 0}}}, "credits rotation");
  expectTrack(credits.scaleTrack, {{0, unit}, {15, unit}}, "credits scale");

  const Camera& kyklohepo = *p->kyklohepoScene->camera;
  expectTrack(kyklohepo.positionTrack, {{0, {0, 0, -300}}}, "kyklohepo position");
  expectTrack(kyklohepo.rotationTrack, {{0, {0, 0, 0}}}, "kyklohepo rotation");
  expectTrack(kyklohepo.scaleTrack, {}, "kyklohepo scale");
  expectVec(kyklohepo.scale, unit, "kyklohepo scale stays");
}

TEST_F(ProductionTest, ModelKeys) {
  const Model3ds& sky = *p->skyNode;
  expectTrack(sky.positionTrack, {}, "sky position");
  expectVec(sky.position, {0, 0, 0}, "sky position");
  expectTrack(sky.rotationTrack, {{0, {0, 0, 0}}, {1000, {0, 1200, 0}}}, "sky rotation");
  expectTrack(sky.scaleTrack, {{0, {2, 2, 2}}}, "sky scale");

  expectTrack(p->bigHaarukka->positionTrack, {{0, {-60, 0, 0}}, {27, {100, 0, 0}}}, "big haarukka position");
  expectTrack(p->bigHaarukka->rotationTrack, {{0, {0, 0, 0}}, {27, {270, 90, 0}}}, "big haarukka rotation");
  expectTrack(p->bigHaarukka->scaleTrack, {{0, {1, 1, 1}}}, "big haarukka scale");

  expectTrack(p->firstShip->positionTrack, {{0, {0, -650, -450}}, {10, {0, -650, -450}}, {26, {0, 280, 250}}},
              "first ship position");
  expectTrack(p->firstShip->rotationTrack, {{0, {0, 90, -50}}, {10, {0, 90, -52}}}, "first ship rotation");
  expectTrack(p->secondShip->rotationTrack, {{0, {0, 90, 50}}, {10, {0, 90, 95}}}, "second ship rotation");
  expectTrack(p->secondShip->scaleTrack, {{0, {0.3f, 0.3f, 0.3f}}, {10, {0.3f, 0.3f, 0.3f}}}, "second ship scale");
  expectTrack(p->smallHaarukka->positionTrack, {{0, {40, 0, -25}}, {12, {-70, 0, 0}}}, "small haarukka position");

  expectTrack(p->mothership->positionTrack, {{0, {0, 0, -400}}, {24, {-100, 0, -400}}}, "mothership position");
  expectTrack(p->sika->scaleTrack, {{0, {3, 3, 3}}}, "sika scale");
  expectTrack(p->smallMothership->positionTrack, {{0, {0, 75, 1000}}, {16, {0, 75, 400}}}, "small mothership position");

  expectTrack(p->stars[0]->positionTrack, {{0, {0, 0, -50}}, {10, {0, 0, 0}}}, "star 0 position");
  expectTrack(p->stars[1]->positionTrack, {{0, {0, 0, -25}}, {10, {0, 0, 0}}}, "star 1 position");
  expectTrack(p->stars[1]->scaleTrack, {{0, {0.2f, 0.2f, 0.2f}}, {10, {1, 1, 30}}}, "star 1 scale");
  expectTrack(p->stars[1]->rotationTrack, {{0, {0, 0, 0}}, {10, {0, 0, 460}}}, "star 1 rotation");

  expectTrack(p->ball->rotationTrack, {{0, {0, 0, 0}}, {100, {2600, 3600, 1700}}}, "ball rotation");
  expectTrack(p->ball->positionTrack, {{0, {-50, 50, -90}}}, "ball position");

  expectTrack(p->spectrumBlocks->positionTrack, {{0, {-3, 0, 0}}}, "blocks position");
  expectTrack(p->spectrumBlocks->rotationTrack, {{0, {45, 0, 0}}}, "blocks rotation");
  expectTrack(p->spectrumBlocks->scaleTrack, {{0, {0.4f, 0.1f, 0.4f}}}, "blocks scale");
  EXPECT_EQ(p->spectrumBlocks->player, nullptr);
  EXPECT_EQ(p->spectrumBlocks->firstChild, nullptr);

  expectTrack(p->kyklohepo->scaleTrack, {{0, {2, 2, 2}}, {5, {0.5f, 0.5f, 0.5f}}, {16, {0, 0, 0}}}, "kyklohepo scale");
  expectTrack(p->kyklohepo->rotationTrack, {{0, {0, 0, 0}}, {5, {-290, -170, 50}}, {16, {-290, -170, 50}}},
              "kyklohepo rotation");
  expectTrack(p->kyklohepoKarhu->positionTrack, {{0, {800, 0, 0}}, {20, {-600, 0, 0}}}, "kyklohepo karhu");
}

// ---- layers ----

struct LayerRow {
  const char* picture;
  Vec3 home;
  Vec3 off;
  Vec3 scale;
  float inTime;
};

TEST_F(ProductionTest, CreditsLayersInOrder) {
  const Vec3 full{400, -300, 0};
  const Vec3 centre{400, 300, 0};
  const Vec3 right{1200, 300, 0};
  const Vec3 left{-400, 300, 0};
  const Vec3 top{400, -300, 0};
  const LayerRow rows[] = {
      {"jostu", centre, right, full, 2},
      {"jostucredits", centre, left, full, 2},
      {"prog", centre, top, full, 5},
      {"progcredits", centre, right, full, 5},
      {"melti", centre, right, full, 7},
      {"melticredits", centre, left, full, 7},
      {"rekoni", centre, left, full, 9},
      {"hobrikcredits", centre, right, full, 9},
      {"vaske", centre, right, full, 11},
      {"vaskeharppu", centre, left, full, 11},
      {"ondri", {64, 536, 0}, {-64, 536, 0}, {64, -64, 0}, 13},
      {"ondricredits", centre, right, full, 13},
  };
  ASSERT_EQ(p->creditsScene->layerCount, kMaxLayers);
  for (int i = 0; i < kMaxLayers; ++i) {
    const LayerRow& r = rows[i];
    SCOPED_TRACE(r.picture);
    auto* layer = dynamic_cast<GeneratedMesh*>(p->creditsScene->layers[i]);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->vertexCount, 6);
    expectMaterial({r.picture, layer->material, r.picture, {1, 1, 1, 1}, {0, 0, 0, 0, 1, 1, 0, 0, 0}});
    expectTrack(
        layer->positionTrack,
        {{-0.1f, r.off}, {r.inTime - 1, r.off}, {r.inTime, r.home}, {r.inTime + 1, r.home}, {r.inTime + 2, r.off}},
        "position");
    expectTrack(layer->scaleTrack,
                {{-0.1f, r.scale},
                 {r.inTime - 1, r.scale},
                 {r.inTime, r.scale},
                 {r.inTime + 1, r.scale},
                 {r.inTime + 2, r.scale}},
                "scale");
    EXPECT_EQ(layer->rotationTrack.keyCount(), 5);
  }

  auto* piirijutu = dynamic_cast<GeneratedMesh*>(p->kyklohepoScene->layers[0]);
  ASSERT_NE(piirijutu, nullptr);
  EXPECT_EQ(pictureOf(piirijutu->material), "piirijutu");
  expectTrack(piirijutu->positionTrack, {{-0.1f, right}, {11, right}, {12, centre}, {17, centre}, {20, right}},
              "piirijutu position");
}

TEST_F(ProductionTest, OndriLayerRestsBottomLeftAndLeavesToTheLeft) {
  Node* ondri = p->creditsScene->layers[10];
  struct Row {
    float t;
    Vec3 position;
    float tolerance;
  } rows[] = {{0, {-64, 536, 0}, 0},        {12.0f, {-64, 536, 0}, 0},      {13.99f, {64, 536, 0}, 0.05f},
              {14.0f, {64, 536, 0}, 0.05f}, {14.99f, {-64, 536, 0}, 0.05f}, {16, {-64, 536, 0}, 0.05f}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "t = " << r.t);
    ondri->update(r.t);
    EXPECT_NEAR(ondri->position.x, r.position.x, r.tolerance + 1e-4f);
    EXPECT_FLOAT_EQ(ondri->position.y, r.position.y);
    expectVec(ondri->scale, {64, -64, 0}, "scale");
  }
}

// Watches one file for being opened.
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& path) {
    fd_ = inotify_init1(IN_NONBLOCK);
    if (fd_ >= 0) watch_ = inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~OpenWatch() {
    if (fd_ >= 0) close(fd_);
  }
  bool ready() const { return fd_ >= 0 && watch_ >= 0; }
  // True when the file was opened or read since the last call.
  bool touched() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    while (read(fd_, buffer, sizeof buffer) > 0) any = true;
    return any;
  }

 private:
  int fd_ = -1;
  int watch_ = -1;
};

TEST_F(ProductionTest, ThirteenthLayerCreatesNothingAndReadsNoFile) {
  const std::string picture = test::scratchDir() + "/probe.png";
  ASSERT_TRUE(writePicture(picture, 0, false));
  OpenWatch watch(picture);
  ASSERT_TRUE(watch.ready());
  watch.touched();

  Scene& credits = *p->creditsScene;
  Node* before[kMaxLayers];
  std::copy(std::begin(credits.layers), std::end(credits.layers), before);
  EXPECT_EQ(addLayer(credits, picture.c_str(), 0, 0, 800, 600, SlideFromLeft, 2, 3, 4), nullptr);
  EXPECT_EQ(credits.layerCount, kMaxLayers);
  EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(credits.layers)));
  EXPECT_FALSE(watch.touched());

  // The same call on a Scene with room loads the picture.
  Scene spare;
  spare.setup(StandardCamera);
  GeneratedMesh* layer = addLayer(spare, picture.c_str(), 0, 0, 800, 600, SlideFromLeft, 2, 3, 4);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(spare.layerCount, 1);
  EXPECT_EQ(spare.layers[0], layer);
  EXPECT_TRUE(watch.touched());
  EXPECT_EQ(layer->material->textures[0]->height(), 2);
}

TEST_F(ProductionTest, OddLayerWidthHalvesTowardZero) {
  Scene spare;
  spare.setup(StandardCamera);
  GeneratedMesh* layer = addLayer(spare, "scenes/ondri.png", 10, 20, 801, 3, SlideStatic, 0, 0, 0);
  ASSERT_NE(layer, nullptr);
  expectTrack(layer->positionTrack, {{0, {410, 21, 0}}}, "position");
  expectTrack(layer->scaleTrack, {{0, {400, -1, 0}}}, "scale");
  expectTrack(layer->rotationTrack, {{0, {0, 0, 0}}}, "rotation");
  // The quad is the 2 x 2 square the scale stretches to 800 x 2 pixels.
  ASSERT_EQ(layer->vertexCount, 6);
  for (int v = 0; v < 6; ++v) {
    EXPECT_EQ(std::abs(layer->positions[3 * v]), 1.0f);
    EXPECT_EQ(std::abs(layer->positions[3 * v + 1]), 1.0f);
  }
}

// ---- pixels ----

void expectPixel(int x, int yFromTop, Rgb want, const char* what) {
  const test::Rgba got = test::readPixelTop(x, yFromTop);
  EXPECT_NEAR(got.r, want.r, 2) << what << " at " << x << ", " << yFromTop;
  EXPECT_NEAR(got.g, want.g, 2) << what << " at " << x << ", " << yFromTop;
  EXPECT_NEAR(got.b, want.b, 2) << what << " at " << x << ", " << yFromTop;
}

void clearFrame() {
  glViewport(0, 0, 800, 600);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The plane fills the set-up Camera's view, the picture's top row at the top.
TEST_F(ProductionTest, PicturePlaneFillsTheViewUpright) {
  clearFrame();
  p->logoScene->render(1.0f);
  test::saveBackBuffer((test::scratchDir() + "/logo.png").c_str());
  const int logo = pictureIndex("vornlogo");
  expectPixel(400, 150, topColour(logo), "upper middle");
  expectPixel(8, 150, topColour(logo), "upper left");
  expectPixel(400, 450, bottomColour(logo), "lower middle");
  expectPixel(792, 450, bottomColour(logo), "lower right");
}

// At home the ondri layer covers x 0 .. 128, y 472 .. 600 of the y-down
// screen, upright; the full-screen layers over it are see-through fixtures.
TEST_F(ProductionTest, OndriLayerDrawsItsSquareBottomLeftUpright) {
  Scene& credits = *p->creditsScene;
  const int ondri = pictureIndex("ondri");
  const Rgb black{0, 0, 0};

  clearFrame();
  credits.drawLayers(11.5f);
  expectPixel(64, 504, black, "before it enters");

  clearFrame();
  credits.drawLayers(13.99f);
  test::saveBackBuffer((test::scratchDir() + "/ondri.png").c_str());
  expectPixel(64, 504, topColour(ondri), "upper half");
  expectPixel(4, 504, topColour(ondri), "upper half, left edge");
  expectPixel(64, 568, bottomColour(ondri), "lower half");
  expectPixel(124, 568, bottomColour(ondri), "lower half, right edge");
  expectPixel(140, 536, black, "right of it");
  expectPixel(64, 460, black, "above it");
}

}  // namespace
}  // namespace vorn
