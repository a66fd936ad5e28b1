// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/remembered_values.h"

#include <QRegularExpression>
#include <cstdlib>

namespace {

const char* modeName(AnswerMode m) {
  switch (m) {
    case AnswerMode::Automatic:
      return "automatic";
    case AnswerMode::Manual:
      return "manual";
    case AnswerMode::Later:
      return "later";
  }
  return "automatic";
}

// Reads one key through `parse`; a missing key leaves `field` alone, a value
// that does not parse or is refused by `valid` is listed as ignored.
class Reader {
 public:
  Reader(const QVariantMap& stored, QStringList& ignored) : stored_(stored), ignored_(ignored) {}

  template <class T, class Parse, class Valid>
  void read(const char* key, T& field, Parse parse, Valid valid) {
    const auto it = stored_.find(QLatin1String(key));
    if (it == stored_.end()) return;
    const std::optional<T> v = parse(it->toString().trimmed());
    if (v && valid(*v))
      field = *v;
    else
      ignored_ << QLatin1String(key);
  }
  void integer(const char* key, int& field, int lo, int hi) {
    read(key, field, toInt, [&](int v) { return v >= lo && v <= hi; });
  }

  static std::optional<int> toInt(const QString& s) {
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? std::optional(v) : std::nullopt;
  }
  static std::optional<bool> toBool(const QString& s) {
    if (s == QLatin1String("true")) return true;
    if (s == QLatin1String("false")) return false;
    return std::nullopt;
  }

 private:
  const QVariantMap& stored_;
  QStringList& ignored_;
};

}  // namespace

QString colourText(pf::Colour c) {
  const auto u = static_cast<std::uint32_t>(c);
  return QStringLiteral("#%1%2%3")
      .arg(u & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((u >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((u >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

std::optional<pf::Colour> colourFromText(const QString& text) {
  static const QRegularExpression form(QStringLiteral("^#[0-9a-fA-F]{6}$"));
  if (!form.match(text).hasMatch()) return std::nullopt;
  const auto rgb = text.mid(1).toUInt(nullptr, 16);
  return static_cast<pf::Colour>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));
}

ReadValues readValues(const QVariantMap& stored) {
  ReadValues out;
  RememberedValues& v = out.values;
  DrillSettings& p = v.panel;
  Reader r(stored, out.ignored);
  int version = kRememberedVersion;
  r.integer("version", version, 1, std::numeric_limits<int>::max());
  out.newer = version > kRememberedVersion;

  r.integer("longest", p.longest, 1, 14);
  r.integer("shortest", p.shortest, 1, p.longest);
  r.integer("terms", p.terms, 2, 30);
  // The panel puts a mix back to 0 while both digit counts are equal.
  r.integer("mix", p.mix, 0, p.shortest < p.longest ? std::min(10, p.terms) : 0);
  r.integer("pace", p.pace, 10, 300);
  // The extension exists only around two seconds a number.
  r.integer("extension", p.extension, 0, std::abs(p.pace - 200) <= 3 ? 9 : 0);
  r.integer("runLength", p.runLength, 1, 20);
  r.read("grouping", p.grouping, Reader::toBool, [](bool) { return true; });
  const auto mode = [](const QString& s) -> std::optional<AnswerMode> {
    for (AnswerMode m : {AnswerMode::Automatic, AnswerMode::Manual, AnswerMode::Later})
      if (s == QLatin1String(modeName(m))) return m;
    return std::nullopt;
  };
  r.read("answerMode", p.mode, mode, [](AnswerMode) { return true; });
  r.integer("countdownSpeed", p.countdownSpeed, 1, 3);
  r.read("textColour", p.textColour, colourFromText, [](pf::Colour) { return true; });
  r.read("backColour", p.backColour, colourFromText, [](pf::Colour) { return true; });
  r.read("sound", v.sound, Reader::toBool, [](bool) { return true; });
  r.integer("screen", v.screen, 0, 99);
  if (!out.newer) {
    const QVariantMap known = writeValues({});
    for (const QString& key : stored.keys())
      if (!known.contains(key)) out.unknown << key;
  }
  return out;
}

QVariantMap writeValues(const RememberedValues& v) {
  const DrillSettings& p = v.panel;
  const auto flag = [](bool b) { return QString::fromLatin1(b ? "true" : "false"); };
  return {
      {QStringLiteral("version"), kRememberedVersion},
      {QStringLiteral("longest"), p.longest},
      {QStringLiteral("shortest"), p.shortest},
      {QStringLiteral("mix"), p.mix},
      {QStringLiteral("terms"), p.terms},
      {QStringLiteral("pace"), p.pace},
      {QStringLiteral("extension"), p.extension},
      // Until the learner moves it, the run-length bar reports no length: it is 1.
      {QStringLiteral("runLength"), std::max(1, p.runLength)},
      {QStringLiteral("grouping"), flag(p.grouping)},
      {QStringLiteral("answerMode"), QString::fromLatin1(modeName(p.mode))},
      {QStringLiteral("countdownSpeed"), p.countdownSpeed},
      {QStringLiteral("textColour"), colourText(p.textColour)},
      {QStringLiteral("backColour"), colourText(p.backColour)},
      {QStringLiteral("sound"), flag(v.sound)},
      {QStringLiteral("screen"), v.screen},
  };
}
