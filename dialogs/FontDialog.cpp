#include "dialogs/FontDialog.h"

#include "dialogs/DialogUnits.h"
#include "dialogs/FontRules.h"
#include "gui/QtColor.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kStyleNames[4] = {
    QT_TRANSLATE_NOOP("FontDialog", "Regular"), QT_TRANSLATE_NOOP("FontDialog", "Bold"),
    QT_TRANSLATE_NOOP("FontDialog", "Italic"), QT_TRANSLATE_NOOP("FontDialog", "Bold Italic")};

QIcon colorIcon(RgbColor color) {
    QPixmap pixmap(24, 12);
    pixmap.fill(toQColor(color));
    return QIcon(pixmap);
}

} // namespace

FontDialog::FontDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Font"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_faceEdit = new QLineEdit(this);
    m_faceEdit->setObjectName(QStringLiteral("faceEdit"));
    // Typed or chosen from the list, a face keeps at most 31 characters.
    m_faceEdit->setMaxLength(static_cast<int>(kMaxFaceLength));
    m_faceList = new QListWidget(this);
    m_faceList->setObjectName(QStringLiteral("faceList"));
    QStringList families = QFontDatabase::families();
    std::sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    families.removeDuplicates();
    m_faceList->addItems(families);

    m_styleList = new QListWidget(this);
    m_styleList->setObjectName(QStringLiteral("styleList"));
    for (const char* name : kStyleNames)
        m_styleList->addItem(tr(name));

    m_colorList = new QComboBox(this);
    m_colorList->setObjectName(QStringLiteral("colorList"));
    for (const NamedColor& named : kStandardColors)
        m_colorList->addItem(colorIcon(named.color), tr(named.name),
                             QVariant::fromValue(static_cast<uint>(named.color)));

    auto* faceLabel = new QLabel(tr("&Font:"), this);
    faceLabel->setBuddy(m_faceEdit);
    auto* styleLabel = new QLabel(tr("Font St&yle:"), this);
    styleLabel->setBuddy(m_styleList);
    auto* colorLabel = new QLabel(tr("Co&lor:"), this);
    colorLabel->setBuddy(m_colorList);
    // Lists do not take their names from a label: give them their labels'.
    // (A combo box is heard by its current entry and its label.)
    m_faceList->setAccessibleName(tr("Font"));
    m_styleList->setAccessibleName(tr("Font Style"));

    auto* sampleBox = new QGroupBox(tr("Sample"), this);
    sampleBox->setObjectName(QStringLiteral("sampleBox"));
    m_sample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    m_sample->setObjectName(QStringLiteral("sampleText"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(1, 1);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* faceColumn = new QVBoxLayout;
    faceColumn->setSpacing(0);
    faceColumn->addWidget(m_faceEdit);
    faceColumn->addWidget(m_faceList);

    auto* grid = new QGridLayout;
    grid->addWidget(faceLabel, 0, 0);
    grid->addLayout(faceColumn, 1, 0);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(m_styleList, 1, 1);
    grid->addWidget(colorLabel, 0, 2);
    grid->addWidget(m_colorList, 1, 2, Qt::AlignTop);
    grid->addWidget(sampleBox, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 2, Qt::AlignBottom);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);

    // The picker opens at its classic size, given in layout units so that it
    // follows the user's font as the form does, or larger where a language's
    // longer words need the room.
    resize(DialogUnits(font()).size(266, 138).expandedTo(minimumSizeHint()));

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_faceEdit, &QLineEdit::textEdited, this, &FontDialog::onFaceEdited);
    connect(m_faceEdit, &QLineEdit::textChanged, this, [this] { updateSample(); });
    connect(m_faceList, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && text != m_faceEdit->text())
            m_faceEdit->setText(text);
    });
    connect(m_styleList, &QListWidget::currentRowChanged, this, [this] { updateSample(); });
    connect(m_colorList, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
}

void FontDialog::fillControls(const Values& start) {
    const QString face = toQString(cutFaceName(start.face));
    m_faceEdit->setText(face);
    onFaceEdited(face);

    m_styleList->setCurrentRow(isKnownStyleCode(start.style) ? start.style : 0);

    // A custom start colour gets its own entry after the standard ones.
    const int custom = kStandardColorCount;
    while (m_colorList->count() > custom)
        m_colorList->removeItem(custom);
    int index = findStandardColor(start.color);
    if (index < 0) {
        m_colorList->addItem(colorIcon(start.color), tr("Custom"),
                             QVariant::fromValue(static_cast<uint>(start.color)));
        index = custom;
    }
    m_colorList->setCurrentIndex(index);
    updateSample();
}

void FontDialog::onFaceEdited(const QString& text) {
    // select the family the text names, or the first one it begins; the
    // text itself stays as typed.
    QListWidgetItem* match = nullptr;
    if (!text.isEmpty()) {
        const auto exact = m_faceList->findItems(text, Qt::MatchFixedString);
        const auto prefix = m_faceList->findItems(text, Qt::MatchStartsWith);
        match = !exact.isEmpty() ? exact.first() : (!prefix.isEmpty() ? prefix.first() : nullptr);
    }
    const QSignalBlocker block(m_faceList);
    m_faceList->setCurrentItem(match);
    if (match)
        m_faceList->scrollToItem(match);
}

QFont FontDialog::chosenFont() const {
    QFont font(m_faceEdit->text());
    const int style = std::max(0, m_styleList->currentRow());
    font.setWeight(static_cast<QFont::Weight>(weightFromStyleCode(style)));
    font.setItalic(italicFromStyleCode(style));
    return font;
}

int FontDialog::chosenWeight() const {
    return QFontInfo(chosenFont()).weight();
}

void FontDialog::updateSample() {
    QFont font = chosenFont();
    font.setPixelSize(std::max(1, std::abs(m_height)));
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText,
                     toQColor(static_cast<RgbColor>(m_colorList->currentData().toUInt())));
    m_sample->setPalette(palette);
}

FontDialog::Values FontDialog::chosenValues() const {
    Values values;
    values.face = cutFaceName(toProjectText(m_faceEdit->text()));
    const int style = std::max(0, m_styleList->currentRow());
    values.style = styleCodeFromFont(italicFromStyleCode(style), chosenWeight());
    values.color = static_cast<RgbColor>(m_colorList->currentData().toUInt());
    return values;
}

std::optional<FontDialog::Values> FontDialog::pick(QWidget* window, int pointSize,
                                                   const Values& start) {
    FontDialog dlg(window);
    dlg.m_height = pointSizeToHeight(window, pointSize);
    dlg.fillControls(start);
    if (window) {
        QRect frame = dlg.geometry();
        frame.moveCenter(window->window()->geometry().center());
        dlg.move(frame.topLeft());
    }
    if (UiServices::instance().execDialog(dlg) != QDialog::Accepted)
        return std::nullopt;
    return dlg.chosenValues();
}

int pointSizeToHeight(const QWidget* window, int points) {
    int dpi = 96;
    if (window)
        dpi = window->logicalDpiY();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = static_cast<int>(screen->logicalDotsPerInchY());
    return pointSizeToHeight(points, dpi);
}
