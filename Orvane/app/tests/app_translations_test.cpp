// The Japanese texts as the program finds them: the translation file is
// complete, and each of its entries comes back from the compiled resources
// through the same lookup the windows use.
#include "Orvane/app/app_translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <string>
#include <vector>

namespace orvane {
namespace {

struct Entry {
  QString context;
  QString source;
  QString translation;
  QString type;  // "unfinished", "vanished", ... or empty when finished
};

// The text of a <source> or <translation>, with the control characters the
// file stores as <byte value="xd"/> put back.
QString ReadText(QXmlStreamReader& reader) {
  QString text;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isCharacters()) {
      text += reader.text();
    } else if (reader.isStartElement() && reader.name() == QLatin1String("byte")) {
      // "x" and hexadecimal digits, or decimal digits.
      const auto value = reader.attributes().value(QLatin1String("value"));
      text += value.startsWith(QLatin1Char('x')) ? QChar(value.mid(1).toUInt(nullptr, 16)) : QChar(value.toUInt());
    } else if (reader.isEndElement() && reader.name() != QLatin1String("byte")) {
      break;
    }
  }
  return text;
}

std::vector<Entry> ReadTranslationFile() {
  QFile file(QStringLiteral(ORVANE_JA_TS));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader reader(&file);
  std::vector<Entry> entries;
  QString context;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    const auto name = reader.name();
    if (name == QLatin1String("name")) {
      context = reader.readElementText();
    } else if (name == QLatin1String("message")) {
      entries.push_back({context, {}, {}, {}});
    } else if (name == QLatin1String("source") && !entries.empty()) {
      entries.back().source = ReadText(reader);
    } else if (name == QLatin1String("translation") && !entries.empty()) {
      entries.back().type = reader.attributes().value(QLatin1String("type")).toString();
      entries.back().translation = ReadText(reader);
    }
  }
  if (reader.hasError()) ADD_FAILURE() << reader.errorString().toStdString();
  return entries;
}

// The marks a translator must carry over unchanged: arguments, the menu
// accelerator and file-dialog patterns.
std::string Markers(const QString& text) {
  static const QRegularExpression marker(QStringLiteral(R"(%(\d+|n|u|d|s)|\(&\w\)|\(\*\.\w+\))"));
  QStringList found;
  for (auto it = marker.globalMatch(text); it.hasNext();) found << it.next().captured();
  found.sort();
  return found.join(QLatin1Char(' ')).toStdString();
}

class JapaneseTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    language_ = InstallTranslations(*QCoreApplication::instance(), QLocale(QLocale::Japanese, QLocale::Japan));
  }
  // The other tests of this program expect the English texts.
  void TearDown() override {
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
  QLocale::Language language_ = QLocale::AnyLanguage;
};

TEST_F(JapaneseTexts, EveryEntryOfTheFileIsFinishedAndKeepsItsMarkers) {
  const std::vector<Entry> entries = ReadTranslationFile();
  ASSERT_FALSE(entries.empty());
  for (const Entry& entry : entries) {
    SCOPED_TRACE((entry.context + QStringLiteral(": ") + entry.source).toStdString());
    EXPECT_TRUE(entry.type.isEmpty()) << entry.type.toStdString();
    EXPECT_FALSE(entry.translation.isEmpty());
    EXPECT_EQ(Markers(entry.translation), Markers(entry.source));
    EXPECT_EQ(entry.translation.count(QLatin1Char('\n')), entry.source.count(QLatin1Char('\n')));
  }
}

TEST_F(JapaneseTexts, EveryEntryIsFoundInTheProgramsResources) {
  ASSERT_EQ(language_, QLocale::Japanese);
  const std::vector<Entry> entries = ReadTranslationFile();
  ASSERT_FALSE(entries.empty());
  for (const Entry& entry : entries) {
    const QByteArray context = entry.context.toUtf8();
    const QByteArray source = entry.source.toUtf8();
    EXPECT_EQ(QCoreApplication::translate(context.constData(), source.constData()).toStdString(),
              entry.translation.toStdString())
        << entry.context.toStdString() << ": " << entry.source.toStdString();
  }
}

struct KnownText {
  const char* name;
  const char* context;
  const char* source;
};

class KnownJapaneseText : public JapaneseTexts, public ::testing::WithParamInterface<KnownText> {};

// One text from each part of the application, in the context its window
// asks in at run time (class names carry their namespace).
TEST_P(KnownJapaneseText, ComesBackTranslated) {
  ASSERT_EQ(language_, QLocale::Japanese);
  const QString translated = QCoreApplication::translate(GetParam().context, GetParam().source);
  EXPECT_FALSE(translated.isEmpty());
  EXPECT_NE(translated.toStdString(), GetParam().source);
}

INSTANTIATE_TEST_SUITE_P(
    AppTexts, KnownJapaneseText,
    ::testing::Values(KnownText{"Menu", "Menu", "File(&F)"},
                      KnownText{"ListHeader", "TransactionListModel", "Number"},
                      KnownText{"ListDataHeader", "TransactionListModel", "MISO Data  (Hex)"},
                      KnownText{"CaptureDialog", "DlgCaptureSetting", "Capture settings"},
                      KnownText{"TextWithCarriageReturn", "DlgI2CSetting", "TRGOUT Setting\r(MonitorMode only)"},
                      KnownText{"SpiDialog", "DlgSPISetting", "SPI Settings"},
                      KnownText{"GeneralDialog", "DlgGeneral", "Other setting"},
                      KnownText{"InformationWindow", "orvane::DlgInfo", "Information"},
                      KnownText{"AboutBox", "orvane::AboutBox", "Version %1"},
                      KnownText{"CoreMessage", "Messages", "No valid transaction."}),
    [](const ::testing::TestParamInfo<KnownText>& known) { return std::string(known.param.name); });

}  // namespace
}  // namespace orvane
