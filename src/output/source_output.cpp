// The shared life cycle of per-source output files, and the one registry of
// unfinished output that an early exit empties.
#include "output/source_output.h"

#include "support/messages.h"
#include "support/moxtel_log.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace output {
namespace {

constexpr std::size_t kStreamBufferSize = 1 << 18;

QString SystemError() { return support::FromLocal(support::SystemErrorText()); }

// Process-wide on purpose: exit() (the end of every fatal error) runs no
// destructor of the sets on the stack, so the exit handler must find them.
struct UnfinishedRegistry {
  std::mutex lock;
  std::vector<UnfinishedOutput*> sets;
  bool handlerRegistered = false;
};

UnfinishedRegistry& Registry() {
  static UnfinishedRegistry* registry = new UnfinishedRegistry;  // outlives every exit handler
  return *registry;
}

void RemoveUnfinishedAtExit() {
  UnfinishedRegistry& registry = Registry();
  const std::lock_guard<std::mutex> guard(registry.lock);
  for (UnfinishedOutput* set : registry.sets) set->RemoveUnfinished();
}

}  // namespace

std::string OutputPathFor(const OutputPlacement& placement, const support::NameEntry& source,
                          const support::NameEntry& directory, std::string_view extension) {
  if (placement.name) return *placement.name;
  std::string name = support::ChangeExtension(source.text, extension);
  if (!placement.directory) return support::JoinPath(directory.text, name);
  if (placement.directory->empty()) return name;
  return support::JoinPath(*placement.directory, name);
}

UnfinishedOutput::UnfinishedOutput() {
  UnfinishedRegistry& registry = Registry();
  const std::lock_guard<std::mutex> guard(registry.lock);
  if (!registry.handlerRegistered) {
    std::atexit(RemoveUnfinishedAtExit);
    registry.handlerRegistered = true;
  }
  registry.sets.push_back(this);
}

UnfinishedOutput::~UnfinishedOutput() {
  UnfinishedRegistry& registry = Registry();
  const std::lock_guard<std::mutex> guard(registry.lock);
  registry.sets.erase(std::remove(registry.sets.begin(), registry.sets.end(), this), registry.sets.end());
}

OutputStreams::OutputStreams(const OutputFileKind& kind) : kind_(kind) {}

void OutputStreams::UseLargeBuffer(std::FILE* stream) {
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kStreamBufferSize);
  std::setvbuf(stream, buffer_.get(), _IOFBF, kStreamBufferSize);
}

void OutputStreams::MakeCurrent(SourceOutputFile& file) {
  if (current_ == &file) return;
  if (current_) Close(*current_);
  current_ = &file;
}

std::FILE* OutputStreams::Open(SourceOutputFile& file) {
  MakeCurrent(file);
  if (file.stream) return file.stream.get();
  file.stream.reset(std::fopen(file.temporaryPath.c_str(), "a"));
  if (!file.stream) kind_.failReopen(file.temporaryPath, SystemError());
  UseLargeBuffer(file.stream.get());
  return file.stream.get();
}

void OutputStreams::Close(SourceOutputFile& file) {
  if (!file.stream) return;
  std::FILE* raw = file.stream.release();
  const bool writeFailed = std::ferror(raw) != 0;
  if (std::fclose(raw) == 0 && !writeFailed) return;
  kind_.failWrite(file.temporaryPath, SystemError());
}

void OutputStreams::Claim(SourceOutputFile& file) {
  ClaimedFile claimed = ClaimTemporaryFor(file.path, kind_.naming, file.temporaryPath);
  if (claimed.status != ClaimStatus::kClaimed) {
    kind_.failClaim(claimed.status, file.path, file.temporaryPath, SystemError());
  }
  if (current_) Close(*current_);
  current_ = nullptr;
  file.stream = std::move(claimed.stream);
  UseLargeBuffer(file.stream.get());
}

void OutputStreams::Remove(SourceOutputFile& file) {
  file.stream.reset();
  if (current_ == &file) current_ = nullptr;
  if (file.stage != OutputStage::kWriting) return;
  support::RemoveFile(file.temporaryPath);
  file.stage = OutputStage::kRemoved;
}

void OutputStreams::Finish(SourceOutputFile& file, const std::function<void()>& appendSurvivors) {
  if (file.stage != OutputStage::kWriting) return;
  Close(file);
  if (current_ == &file) current_ = nullptr;
  support::WriteMoxtelLog(kind_.logTag, file.path);
  ReplaceUnderLock(file.path, file.temporaryPath, appendSurvivors);
  file.stage = OutputStage::kFinished;
}

}  // namespace output
