#include "dialogs/DialogButtons.h"

#include "dialogs/SingleLineValidator.h"
#include "gui/HelpLauncher.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <limits>

DialogButtons createDialogButtons(QDialog* dialog, help::Page helpPage) {
    DialogButtons b{};
    b.ok = new QPushButton(QStringLiteral("OK"), dialog);
    b.ok->setObjectName(QStringLiteral("okButton"));
    b.ok->setDefault(true);
    b.cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    b.cancel->setObjectName(QStringLiteral("cancelButton"));
    b.help = new QPushButton(QStringLiteral("Help"), dialog);
    b.help->setObjectName(QStringLiteral("helpButton"));
    b.row = new QHBoxLayout;
    b.row->addStretch(1);
    b.row->addWidget(b.ok);
    b.row->addWidget(b.cancel);
    b.row->addWidget(b.help);
    QObject::connect(b.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(b.help, &QPushButton::clicked, dialog,
                     [dialog, helpPage] { help::launchHelp(dialog, helpPage); });
    // F1 opens the same page from any control of the dialog.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    f1->setObjectName(QStringLiteral("helpShortcut"));
    QObject::connect(f1, &QShortcut::activated, dialog,
                     [dialog, helpPage] { help::launchHelp(dialog, helpPage); });
    return b;
}

QLineEdit* createUnlimitedEdit(QDialog* dialog, const QString& objectName) {
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(objectName);
    edit->setMaxLength(std::numeric_limits<int>::max());
    SingleLineValidator::install(edit);
    return edit;
}
