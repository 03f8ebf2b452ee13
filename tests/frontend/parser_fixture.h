// Parses a definition text and a source text as a run does, keeping the
// source's tree and what the parse wrote on stderr.
#pragma once

#include "bound_front_end.h"
#include "bound_run.h"
#include "frontend/parser.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "tree_dump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace frontend {

class ParserFixture : public ::testing::Test {
 protected:
  BoundRun run_;
  support::NameList noInstrDirs;
  BoundFrontEnd frontEnd;

  void SetUp() override {
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"));
    directory = ::testing::TempDir() + "quorb_parse_" + std::to_string(getpid()) + "/";
    std::system(("mkdir -p " + directory).c_str());
  }
  void TearDown() override { std::system(("rm -rf " + directory).c_str()); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = directory + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  /// Parses the definition text then the source; returns the source's
  /// error count. The messages of both parses are kept in `shown`.
  int Parse(const std::string& source, const std::string& definition = "") {
    ::testing::internal::CaptureStderr();
    definitionErrors = ParseFile(*frontEnd, Write("std.def", definition), true, nullptr, &noInstrDirs, nullptr);
    FreeTree(root);
    root = nullptr;
    const int errors = ParseFile(*frontEnd, Write("a.c", source), false, &root, &noInstrDirs, nullptr);
    shown = ::testing::internal::GetCapturedStderr();
    return errors;
  }

  /// Parses the source after the bundled gcc.def; expects no message at all.
  void ParseClean(const std::string& source) {
    std::ifstream file(std::string(QUORB_SOURCE_DIR) + "/tdp/gcc/ana/gcc.def");
    std::stringstream definition;
    definition << file.rdbuf();
    ASSERT_EQ(Parse(source, definition.str()), 0) << shown;
    ASSERT_EQ(definitionErrors, 0);
    ASSERT_EQ(shown, "");
  }

  /// The n-th external declaration (from 0), and its dump.
  const TreeNode* ItemNode(int n) const {
    const TreeNode* item = root ? root->sons : nullptr;
    while (item && n--) item = item->next;
    return item;
  }
  std::string Item(int n) const { return DumpTree(ItemNode(n)); }

  /// The body of the n-th external declaration, a function definition.
  const TreeNode* BodyNode(int n) const { return ItemNode(n)->sons->next; }

  FrontEnd& Front() { return *frontEnd; }

  std::string directory;
  TreeNode* root = nullptr;
  int definitionErrors = 0;
  std::string shown;
};

}  // namespace frontend
