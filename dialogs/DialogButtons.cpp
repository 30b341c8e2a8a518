#include "dialogs/DialogButtons.h"

#include "dialogs/SingleLineValidator.h"
#include "gui/HelpLauncher.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>

#include <limits>

DialogButtons createDialogButtons(QDialog* dialog, help::Page helpPage) {
    DialogButtons b{};
    b.ok = new QPushButton(QCoreApplication::translate("DialogButtons", "&OK"), dialog);
    b.ok->setObjectName(QStringLiteral("okButton"));
    b.ok->setDefault(true);
    b.cancel = new QPushButton(QCoreApplication::translate("DialogButtons", "&Cancel"), dialog);
    b.cancel->setObjectName(QStringLiteral("cancelButton"));
    b.help = new QPushButton(QCoreApplication::translate("DialogButtons", "&Help"), dialog);
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

namespace {

// Asks for the body's whole size (Qt's own scroll area asks for at most 36
// by 24 lines), so that it scrolls only when the screen has no more room.
class BodyScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return (widget() ? widget()->sizeHint() : QSize()) + QSize(frame, frame);
    }
};

} // namespace

QScrollArea* createScrollingBody(QDialog* dialog, QLayout* body) {
    auto* area = new BodyScrollArea(dialog);
    area->setObjectName(QStringLiteral("bodyScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    auto* content = new QWidget(area);
    content->setLayout(body);
    body->setContentsMargins(0, 0, 0, 0);
    area->setWidget(content);
    return area;
}

void fitDialogToScreen(QDialog* dialog) {
    // Room for the title bar and borders the window manager adds.
    constexpr QSize kFrame(16, 48);
    const QWidget* parent = dialog->parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (dialog->layout())
        dialog->layout()->activate();
    QSize size = dialog->sizeHint();
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size() - kFrame);
    dialog->resize(size.expandedTo(dialog->minimumSizeHint()));
}

QLineEdit* createUnlimitedEdit(QDialog* dialog, const QString& objectName) {
    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(objectName);
    edit->setMaxLength(std::numeric_limits<int>::max());
    SingleLineValidator::install(edit);
    return edit;
}
