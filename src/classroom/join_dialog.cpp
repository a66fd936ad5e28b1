// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/join_dialog.h"

#include <qt6keychain/keychain.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kService = QStringLiteral("pelatto-classroom");

QString rememberedPath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
         QStringLiteral("/classroom.conf");
}

}  // namespace

JoinDialog::JoinDialog(QWidget* parent)
    : QDialog(parent),
      url_(new QLineEdit(this)),
      room_(new QLineEdit(this)),
      name_(new QLineEdit(this)),
      password_(new QLineEdit(this)),
      keep_(new QCheckBox(QStringLiteral("名前とパスワードを覚える"), this)) {
  setWindowTitle(QStringLiteral("教室に参加"));
  url_->setPlaceholderText(QStringLiteral("mqtt://192.168.1.10:1883"));
  password_->setEchoMode(QLineEdit::Password);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("接続先"), url_);
  form->addRow(QStringLiteral("教室"), room_);
  form->addRow(QStringLiteral("名前"), name_);
  form->addRow(QStringLiteral("パスワード"), password_);
  form->addRow(keep_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("参加する"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("やめる"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);

  QSettings s(rememberedPath(), QSettings::IniFormat);
  url_->setText(s.value(QStringLiteral("url")).toString());
  room_->setText(s.value(QStringLiteral("room")).toString());
  name_->setText(s.value(QStringLiteral("name")).toString());
  keep_->setChecked(s.value(QStringLiteral("keep"), false).toBool());
  if (keep_->isChecked() && !name_->text().isEmpty()) {
    auto* job = new QKeychain::ReadPasswordJob(kService, this);
    job->setKey(name_->text());
    connect(job, &QKeychain::Job::finished, this, [this](QKeychain::Job* j) {
      auto* read = static_cast<QKeychain::ReadPasswordJob*>(j);
      if (read->error() == QKeychain::NoError && password_->text().isEmpty())
        password_->setText(read->textData());
    });
    job->start();
  }
}

QString JoinDialog::url() const { return url_->text().trimmed(); }
QString JoinDialog::room() const { return room_->text().trimmed(); }
QString JoinDialog::name() const { return name_->text().trimmed(); }
QString JoinDialog::password() const { return password_->text(); }

void JoinDialog::remember() {
  QSettings s(rememberedPath(), QSettings::IniFormat);
  s.setValue(QStringLiteral("url"), url());
  s.setValue(QStringLiteral("room"), room());
  s.setValue(QStringLiteral("name"), name());
  s.setValue(QStringLiteral("keep"), keep_->isChecked());
  QKeychain::Job* job = nullptr;
  if (keep_->isChecked()) {
    auto* write = new QKeychain::WritePasswordJob(kService);
    write->setTextData(password());
    job = write;
  } else {
    job = new QKeychain::DeletePasswordJob(kService);
  }
  job->setKey(name());
  job->setAutoDelete(true);
  job->start();
}
