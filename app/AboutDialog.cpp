#include "app/AboutDialog.h"

#include "linkfold_version.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/linkfold.svg")).pixmap(32, 32));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(QIcon(QStringLiteral(":/images/about.svg")).pixmap(44, 16));
    auto* version = new QLabel(tr("Version %1").arg(QStringLiteral(LINKFOLD_VERSION)), this);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* headline = new QVBoxLayout;
    headline->addWidget(picture);
    headline->addWidget(version);
    top->addLayout(headline, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* notice = new QLabel(tr("Copyright (C) 2026 The Linkfold developers.\n"
                                 "Free software under the MIT License.\n"
                                 "Written in C++ with the Qt toolkit.\n"
                                 "Thanks to everyone who keeps their links tidy."),
                              this);
    notice->setObjectName(QStringLiteral("aboutNotice"));

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addWidget(notice);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
