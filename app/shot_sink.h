// The sink of a single picture (--shot).
#pragma once

#include <memory>
#include <string>

#include "app/file_sink.h"

namespace vorn {

// One frame written as a PNG at path; the music is not kept.
std::unique_ptr<FileSink> makeShotSink(const std::string& path);

}  // namespace vorn
