#include "trace_file.h"

#include <cerrno>
#include <cstring>

namespace motor {

std::unique_ptr<TraceFile> TraceFile::open(const std::string& name, std::string& error) {
    if (name.empty()) return std::unique_ptr<TraceFile>(new TraceFile(stderr, false));
    std::FILE* stream = std::fopen(name.c_str(), "a");
    if (stream == nullptr) {
        error = "cannot open " + name + " for the trace: " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(stream, true));
}

TraceFile::~TraceFile() {
    if (owned_) std::fclose(stream_);
}

}  // namespace motor
