// The Escape query over SDL events: presses between queries are latched,
// closing the window counts as Escape, other keys do not.
#include "platform/keyboard.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "tests/support/gl_context.h"

namespace vorn {
namespace {

class Keyboard : public test::GlTest {
 protected:
  void SetUp() override {
    test::GlTest::SetUp();
    escapeRequested();  // drain whatever the window system queued
  }

  static void pushKey(SDLKey key, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
};

TEST_F(Keyboard, NothingPressedIsNoEscape) { EXPECT_FALSE(escapeRequested()); }

TEST_F(Keyboard, TapBetweenQueriesIsReportedOnce) {
  pushKey(SDLK_ESCAPE, true);
  pushKey(SDLK_ESCAPE, false);
  EXPECT_TRUE(escapeRequested());
  EXPECT_FALSE(escapeRequested());
}

TEST_F(Keyboard, OtherKeysAreIgnored) {
  pushKey(SDLK_SPACE, true);
  pushKey(SDLK_SPACE, false);
  EXPECT_FALSE(escapeRequested());
}

TEST_F(Keyboard, ClosingTheWindowCountsAsEscape) {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
  EXPECT_TRUE(escapeRequested());
}

}  // namespace
}  // namespace vorn
