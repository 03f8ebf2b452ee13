// FDC messages find their French translation under their exact context and
// translator comment; a comment that differs from the catalogue's would
// leave the message untranslated.
#include "support/translate.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

namespace output {
namespace {

TEST(FdcMessagesTest, FrenchCatalogueTranslatesFdcMessages) {
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
  };
  for (const auto& message : messages) {
    EXPECT_NE(support::Translate(message.context, message.source, message.comment),
              QString::fromLatin1(message.source))
        << message.source;
  }
  EXPECT_EQ(support::Translate("Assertion", "%1 is not a valid FDC file", "%1 is the file name").arg("x.fdc"),
            QString::fromUtf8("x.fdc n'est pas un fichier FDC valide"));
  QCoreApplication::removeTranslator(&french);
}

}  // namespace
}  // namespace output
