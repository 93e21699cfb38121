// Keyframe track: an ordered list of Keys evaluated with a quarter-sine ease.
// Keys are kept in the order they were added; the Track never sorts them.
#pragma once

#include <memory>
#include <vector>

namespace vorn {

struct Key {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float time = 0.0f;  // seconds of entry-local time
  float w = 1.0f;     // written as 1.0 by storeKeys; never read
};

class Track {
 public:
  Track() = default;
  virtual ~Track() = default;
  Track(Track&&) = default;
  Track& operator=(Track&&) = default;
  Track(const Track&) = delete;
  Track& operator=(const Track&) = delete;

  void addKey(std::unique_ptr<Key> key);

  // Returns 1 when the output was interpolated between two keys of different
  // times, 0 otherwise. With no keys, or at a time shared by two keys, the
  // output is left unwritten; otherwise a 0 result still writes the chosen key.
  int evaluate(float t, float out[3]) const;

  void clear();

  int keyCount() const { return static_cast<int>(keys_.size()); }
  const Key& key(int i) const { return *keys_[static_cast<size_t>(i)]; }

 private:
  std::vector<std::unique_ptr<Key>> keys_;
};

}  // namespace vorn
