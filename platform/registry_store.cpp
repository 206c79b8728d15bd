#include "platform/registry_store.h"

#include <QRegularExpression>
#include <QSettings>
#include <mutex>
#include <optional>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace regstore {
namespace {

std::mutex g_mutex;
std::string g_fileOverride;

const QString kKeyMarker = QStringLiteral("(key)");
const QString kStringPrefix = QStringLiteral("sz:");
const QString kDwordPrefix = QStringLiteral("dword:");

// ASCII letters to lower case, leaving the bytes of GBK characters alone.
std::string FoldCase(const std::string& gbk) {
  std::string out = gbk;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x81) {
      ++i;  // a two-byte character
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

// "HKEY_LOCAL_MACHINE\\Software\\X\\" -> "hkey_local_machine/software/x"; empty when invalid.
std::optional<QString> KeyGroup(const std::string& key) {
  QStringList parts = codepage::ToQString(FoldCase(key)).split(QRegularExpression("[\\\\/]"),
                                                               Qt::SkipEmptyParts);
  if (parts.isEmpty()) return std::nullopt;
  return parts.join('/');
}

std::optional<QString> ValueName(const std::string& name) {
  QString folded = codepage::ToQString(FoldCase(name));
  if (folded.isEmpty() || folded.contains('/') || folded.contains('\\') || folded == kKeyMarker) {
    return std::nullopt;
  }
  return folded;
}

std::string PathLocked() {
  return g_fileOverride.empty() ? DefaultPath(paths::ProcessEnv("VEMO_REGISTRY_FILE"), paths::ConfigHome())
                                : g_fileOverride;
}

// Runs `fn` on the store's settings under the lock; with `write` the change is
// flushed before the lock is released.
template <class Fn>
auto WithSettings(bool write, Fn fn) {
  std::lock_guard<std::mutex> lock(g_mutex);
  QSettings settings(QString::fromStdString(PathLocked()), QSettings::IniFormat);
  auto result = fn(settings);
  if (write) {
    settings.sync();
    if (settings.status() != QSettings::NoError) return decltype(result){};
  }
  return result;
}

// The stored text of a value, or nothing.
std::optional<QString> Stored(const std::string& key, const std::string& name) {
  auto group = KeyGroup(key);
  auto value = ValueName(name);
  if (!group || !value) return std::nullopt;
  return WithSettings(false, [&](QSettings& s) -> std::optional<QString> {
    QString path = *group + '/' + *value;
    if (!s.contains(path)) return std::nullopt;
    return s.value(path).toString();
  });
}

bool Store(const std::string& key, const std::string& name, const QString& data) {
  auto group = KeyGroup(key);
  auto value = ValueName(name);
  if (!group || !value) return false;
  return WithSettings(true, [&](QSettings& s) {
    s.setValue(*group + '/' + kKeyMarker, 1);
    s.setValue(*group + '/' + *value, data);
    return true;
  });
}

}  // namespace

std::string DefaultPath(const char* registryFile, const std::string& configHome) {
  if (registryFile != nullptr && *registryFile != '\0') return registryFile;
  return configHome + "/vemo/registry.ini";
}

std::string FilePath() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return PathLocked();
}

void SetFilePath(const std::string& nativePath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_fileOverride = nativePath;
}

bool KeyExists(const std::string& key) {
  auto group = KeyGroup(key);
  if (!group) return false;
  return WithSettings(false, [&](QSettings& s) { return s.contains(*group + '/' + kKeyMarker); });
}

bool CreateKey(const std::string& key) {
  auto group = KeyGroup(key);
  if (!group) return false;
  return WithSettings(true, [&](QSettings& s) {
    s.setValue(*group + '/' + kKeyMarker, 1);
    return true;
  });
}

bool WriteString(const std::string& key, const std::string& name, const std::string& text) {
  return Store(key, name, kStringPrefix + codepage::ToQString(text));
}

bool WriteDword(const std::string& key, const std::string& name, DWORD value) {
  return Store(key, name, kDwordPrefix + QString::number(value));
}

bool ReadString(const std::string& key, const std::string& name, std::string& out) {
  auto data = Stored(key, name);
  if (!data || !data->startsWith(kStringPrefix)) return false;
  out = codepage::FromQString(data->mid(kStringPrefix.size()));
  return true;
}

bool ReadDword(const std::string& key, const std::string& name, DWORD& out) {
  auto data = Stored(key, name);
  if (!data || !data->startsWith(kDwordPrefix)) return false;
  bool ok = false;
  uint value = data->mid(kDwordPrefix.size()).toUInt(&ok);
  if (!ok) return false;
  out = value;
  return true;
}

ValueType QueryValue(const std::string& key, const std::string& name) {
  auto data = Stored(key, name);
  if (!data) return ValueType::None;
  if (data->startsWith(kStringPrefix)) return ValueType::String;
  if (data->startsWith(kDwordPrefix)) return ValueType::Dword;
  return ValueType::None;
}

bool DeleteValue(const std::string& key, const std::string& name) {
  auto group = KeyGroup(key);
  auto value = ValueName(name);
  if (!group || !value) return false;
  return WithSettings(true, [&](QSettings& s) {
    QString path = *group + '/' + *value;
    if (!s.contains(path)) return false;
    s.remove(path);
    return true;
  });
}

}  // namespace regstore
