#include "platform/toolkit_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cctype>
#include <map>
#include <memory>

namespace toolkittexts {

namespace {
std::unique_ptr<QTranslator> g_translator;
}  // namespace

std::string TranslationFor(const std::string& libraryBase) {
  static const std::map<std::string, std::string> kTranslations = {
      {"langsc", "qtbase_zh_CN"}, {"langtc", "qtbase_zh_TW"}, {"langrs", "qtbase_ru"},
      {"langtk", "qtbase_tr"},    {"langhb", "qtbase_he"},
  };
  std::string key = libraryBase;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto it = kTranslations.find(key);
  return it == kTranslations.end() ? std::string() : it->second;
}

void Use(const std::string& libraryBase) {
  if (QCoreApplication::instance() == nullptr) return;
  if (g_translator) QCoreApplication::removeTranslator(g_translator.get());
  g_translator.reset();
  const std::string name = TranslationFor(libraryBase);
  if (name.empty()) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromStdString(name), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
  QCoreApplication::installTranslator(translator.get());
  g_translator = std::move(translator);
}

}  // namespace toolkittexts
