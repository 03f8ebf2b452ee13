// Messages of the FDC writer and the listing find their French translation
// under their exact context and translator comment; a comment that differs
// from the catalogue's would leave the message untranslated.
#include "support/translate.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

namespace output {
namespace {

TEST(OutputMessagesTest, FrenchCatalogueTranslatesFdcAndListingMessages) {
  QTranslator french;
  ASSERT_TRUE(french.load(QStringLiteral("cc1_fr_FR"), QStringLiteral(QUORB_BUILD_DIR "/lib/locale")));
  QCoreApplication::installTranslator(&french);
  constexpr const char* kFileError = "%1 is the file name, %2 a system-dependent error message";
  const struct {
    const char* context;
    const char* source;
    const char* comment;
  } messages[] = {
      {"Assertion", "Please remove all temporary files remaining for %1", "%1 is the fdc file name"},
      {"Assertion", "Cannot reopen FDC file %1 %2", "%1 is the fdc file name, %2 a system-dependent error message"},
      {"Assertion", "Cannot write FDC file %1: %2", kFileError},
      {"Assertion", "%1 expected but not found in %2", "%1 is the expected input, %2 the fdc file name"},
      {"Assertion", "%1 has no selected coverage type", "%1 is the file name"},
      {"User Info", "No branches of requested coverage types can be found in file %1; no FDC generated",
       "%1 : the source file"},
      {"Fatal Error", "Error while reading file %1 : unsupported file format", "%1 : the filename"},
      {"Fatal Error", "Fix the errors above before proceeding again", nullptr},
      {"Internal Error", "Cannot calcul Halstead parameters w/o file name", nullptr},
      {"Fatal Error", "Expected source line %1 [preprocessed:%2] is after the end of the file %3 [%4 total]",
       "%1 the expected source line number, %2 the preprocessed source line number, %3 : the filename and %4 the "
       "total number of source lines"},
      {"Code Coverage", "Forced m&ultiple conditions",
       "Please keep - sign if present at the beginning and use & to select the letter to be shown in the GUI toolbar"},
      {"Code Coverage", "This document presents all functions and branches per source line.", nullptr},
      {"Internal Error", "Halstead calcul : cannot open source file", nullptr},
      {"Message",
       "%1 a #%2 preprocessing directive is not associated to a #if, #ifdef, #ifndef, #elif nor #else.\nCheck that "
       "this missing directive is at the beginning of the source line, optionally prefixed with spaces or tabs.",
       nullptr},
  };
  for (const auto& message : messages) {
    EXPECT_NE(support::Translate(message.context, message.source, message.comment),
              QString::fromLatin1(message.source))
        << message.source;
  }
  EXPECT_EQ(support::Translate("Assertion", "%1 is not a valid FDC file", "%1 is the file name").arg("x.fdc"),
            QString::fromUtf8("x.fdc n'est pas un fichier FDC valide"));
  EXPECT_EQ(support::Translate("Fatal Error", "Can't open file %1", "%1 : the filename").arg("a.c"),
            QString::fromUtf8("Impossible d'ouvrir le fichier a.c"));
  EXPECT_EQ(support::Translate("Code Coverage", "Hidden branches"), QString::fromUtf8("Branches cachées"));
  QCoreApplication::removeTranslator(&french);
}

}  // namespace
}  // namespace output
