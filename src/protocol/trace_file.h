#pragma once
// Where a trace goes: standard error, or a file opened for appending, so earlier traces stay.
// Owns the file and the writer on it.

#include <cstdio>
#include <memory>
#include <string>

#include "trace_writer.h"

namespace motor {

class TraceFile {
  public:
    // An empty name means standard error. nullptr and the reason in `error` when the file
    // cannot be opened.
    static std::unique_ptr<TraceFile> open(const std::string& name, std::string& error);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    TraceWriter& writer() { return writer_; }

  private:
    TraceFile(std::FILE* stream, bool owned) : stream_(stream), owned_(owned), writer_(stream) {}

    std::FILE* stream_;
    bool owned_;
    TraceWriter writer_;
};

}  // namespace motor
