// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/ladder.h"

#include <QRegularExpression>
#include <QSet>

#include "engine/drill_timing.h"

QString LadderError::text() const {
  return line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                  : QStringLiteral("%1: %2").arg(file, message);
}

std::optional<int> paceFor(int terms, int officialMs) {
  // officialMs / ((terms - 1/2) x 10 ms), rounded half up, in integers.
  const long long num = officialMs;
  const long long den = 5LL * (2 * terms - 1);
  if (den <= 0) return std::nullopt;
  const long long pace = (2 * num + den) / (2 * den);
  if (pace < kFastestPace || pace > kSlowestPace) return std::nullopt;
  return static_cast<int>(pace);
}

QString secondsText(int ms) {
  QString s = QString::number(ms / 1000) + '.' + QString::number(ms % 1000).rightJustified(3, '0');
  while (s.endsWith('0')) s.chop(1);
  if (s.endsWith('.')) s.chop(1);
  return s;
}

namespace {

// Whole seconds with up to three decimals, as milliseconds.
std::optional<int> parseSeconds(const QString& field) {
  static const QRegularExpression form(QStringLiteral("^(\\d{1,4})(?:\\.(\\d{1,3}))?$"));
  const QRegularExpressionMatch m = form.match(field);
  if (!m.hasMatch()) return std::nullopt;
  return m.captured(1).toInt() * 1000 + m.captured(2).leftJustified(3, '0').toInt();
}

std::optional<int> parseCount(const QString& field) {
  static const QRegularExpression form(QStringLiteral("^\\d{1,3}$"));
  if (!form.match(field).hasMatch()) return std::nullopt;
  return field.toInt();
}

// The grade of one line, or what is wrong with it.
std::optional<Grade> parseGrade(const QStringList& f, QString& why) {
  if (f.size() != 4) {
    why = QStringLiteral("TAB で区切った 4 項目（級名、桁数、口数、秒数）が必要です（%1 項目）")
              .arg(f.size());
    return std::nullopt;
  }
  Grade g;
  g.name = f[0].trimmed();
  const auto digits = parseCount(f[1].trimmed());
  const auto terms = parseCount(f[2].trimmed());
  const auto ms = parseSeconds(f[3].trimmed());
  if (g.name.isEmpty())
    why = QStringLiteral("級名がありません");
  else if (!digits || *digits < 1 || *digits > 14)
    why = QStringLiteral("桁数「%1」: 1 から 14 の整数にしてください").arg(f[1]);
  else if (!terms || *terms < 2 || *terms > 30)
    why = QStringLiteral("口数「%1」: 2 から 30 の整数にしてください").arg(f[2]);
  else if (!ms)
    why = QStringLiteral("秒数「%1」: 3 や 2.8 のような数にしてください").arg(f[3]);
  else if (!paceFor(*terms, *ms))
    why = QStringLiteral("%2 口で %1 秒には設定できません（速さのバーで %3〜%4 秒）")
              .arg(f[3].trimmed())
              .arg(*terms)
              .arg(secondsText(drill_timing::seriesMs(*terms, kFastestPace)),
                   secondsText(drill_timing::seriesMs(*terms, kSlowestPace)));
  if (!why.isEmpty()) return std::nullopt;
  g.digits = *digits;
  g.terms = *terms;
  g.officialMs = *ms;
  return g;
}

}  // namespace

LadderParse parseLadder(const QString& text, const QString& file) {
  LadderParse out;
  Ladder ladder;
  ladder.file = file;
  bool named = false;
  QSet<QString> names;
  const auto fail = [&](int line, const QString& why) {
    out.errors << LadderError{file, line, why};
  };
  const QStringList lines = text.split('\n');
  for (int k = 0; k < lines.size(); ++k) {
    if (out.errors.size() >= kMaxMistakesTold) {
      fail(
          k + 1,
          QStringLiteral("ここから先は読みません（誤りが %1 を超えました）").arg(kMaxMistakesTold));
      break;
    }
    QString line = lines[k];
    if (line.endsWith('\r')) line.chop(1);
    if (k == 0 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
    if (line.size() > kMaxLineChars) {
      fail(k + 1, QStringLiteral("行が長すぎます（%1 文字。1 行は %2 文字まで）")
                      .arg(line.size())
                      .arg(kMaxLineChars));
      continue;
    }
    if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
    const QStringList fields = line.split('\t');
    if (!named) {
      named = true;
      if (fields.size() == 2 && fields[0].trimmed() == QStringLiteral("ladder") &&
          !fields[1].trimmed().isEmpty())
        ladder.name = fields[1].trimmed();
      else
        fail(k + 1, QStringLiteral("最初の行は「ladder<TAB>名前」にしてください"));
      continue;
    }
    if (ladder.grades.size() + out.errors.size() >= kMaxGrades) {
      fail(k + 1, QStringLiteral("級が多すぎます（1 つの段級表は %1 級まで）").arg(kMaxGrades));
      break;
    }
    QString why;
    const std::optional<Grade> g = parseGrade(fields, why);
    if (!g)
      fail(k + 1, why);
    else if (names.contains(g->name))
      fail(k + 1, QStringLiteral("「%1」が 2 度あります").arg(g->name));
    else
      names.insert(g->name), ladder.grades << *g;
  }
  if (!named)
    fail(0, QStringLiteral("空です（「ladder<TAB>名前」の行がありません）"));
  else if (ladder.grades.isEmpty() && out.errors.isEmpty())
    fail(0, QStringLiteral("級がひとつもありません"));
  if (out.errors.isEmpty()) out.ladder = ladder;
  return out;
}
