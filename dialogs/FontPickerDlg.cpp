#include "dialogs/FontPickerDlg.h"

#include "app/UiServices.h"
#include "dialogs/ColorRef.h"
#include "dialogs/FontRules.h"
#include "editor/Cp1252Text.h"

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

const char* const kStyleNames[4] = {"Regular", "Bold", "Italic", "Bold Italic"};

QIcon ColorIcon(COLORREF color) {
    QPixmap pixmap(24, 12);
    pixmap.fill(ToQColor(color));
    return QIcon(pixmap);
}

} // namespace

CFontPickerDlg::CFontPickerDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Font"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_pFaceEdit = new QLineEdit(this);
    m_pFaceEdit->setObjectName(QStringLiteral("ctl1136Edit"));
    m_pFaceList = new QListWidget(this);
    m_pFaceList->setObjectName(QStringLiteral("ctl1136"));
    QStringList families = QFontDatabase::families();
    std::sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    families.removeDuplicates();
    m_pFaceList->addItems(families);

    m_pStyleList = new QListWidget(this);
    m_pStyleList->setObjectName(QStringLiteral("ctl1137"));
    for (const char* name : kStyleNames)
        m_pStyleList->addItem(QString::fromLatin1(name));

    m_pColorList = new QComboBox(this);
    m_pColorList->setObjectName(QStringLiteral("ctl1139"));
    for (const CNamedColor& named : kStandardColors)
        m_pColorList->addItem(ColorIcon(named.color), QString::fromLatin1(named.name),
                              QVariant::fromValue(static_cast<uint>(named.color)));

    auto* faceLabel = new QLabel(QStringLiteral("&Font:"), this);
    faceLabel->setBuddy(m_pFaceEdit);
    auto* styleLabel = new QLabel(QStringLiteral("Font St&yle:"), this);
    styleLabel->setBuddy(m_pStyleList);
    auto* colorLabel = new QLabel(QStringLiteral("&Color:"), this);
    colorLabel->setBuddy(m_pColorList);

    auto* sampleBox = new QGroupBox(QStringLiteral("Sample"), this);
    sampleBox->setObjectName(QStringLiteral("ctl1073"));
    m_pSample = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
    m_pSample->setObjectName(QStringLiteral("ctl1092"));
    m_pSample->setAlignment(Qt::AlignCenter);
    m_pSample->setMinimumSize(220, 64);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_pSample);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ctl1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("ctl2"));

    auto* faceColumn = new QVBoxLayout;
    faceColumn->setSpacing(0);
    faceColumn->addWidget(m_pFaceEdit);
    faceColumn->addWidget(m_pFaceList);

    auto* grid = new QGridLayout;
    grid->addWidget(faceLabel, 0, 0);
    grid->addLayout(faceColumn, 1, 0);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(m_pStyleList, 1, 1);
    grid->addWidget(colorLabel, 0, 2);
    grid->addWidget(m_pColorList, 1, 2, Qt::AlignTop);
    grid->addWidget(sampleBox, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 2, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pFaceEdit, &QLineEdit::textEdited, this, &CFontPickerDlg::OnFaceEdited);
    connect(m_pFaceEdit, &QLineEdit::textChanged, this, [this] { UpdateSample(); });
    connect(m_pFaceList, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && text != m_pFaceEdit->text())
            m_pFaceEdit->setText(text);
    });
    connect(m_pStyleList, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
    connect(m_pColorList, &QComboBox::currentIndexChanged, this, [this] { UpdateSample(); });
}

void CFontPickerDlg::FillControls() {
    const QString face = FromCp1252(CutFaceName(m_strFace));
    m_pFaceEdit->setText(face);
    OnFaceEdited(face);

    m_pStyleList->setCurrentRow(m_nStyle & kStyleBoldItalic);

    // A custom start colour gets its own entry after the standard ones.
    const int custom = kStandardColorCount;
    while (m_pColorList->count() > custom)
        m_pColorList->removeItem(custom);
    int index = FindStandardColor(m_clrText);
    if (index < 0) {
        m_pColorList->addItem(ColorIcon(m_clrText), QStringLiteral("Custom"),
                              QVariant::fromValue(static_cast<uint>(m_clrText)));
        index = custom;
    }
    m_pColorList->setCurrentIndex(index);
    UpdateSample();
}

void CFontPickerDlg::OnFaceEdited(const QString& text) {
    // Select the family the text names, or the first one it begins; the
    // text itself stays as typed.
    QListWidgetItem* match = nullptr;
    if (!text.isEmpty()) {
        const auto exact = m_pFaceList->findItems(text, Qt::MatchFixedString);
        const auto prefix = m_pFaceList->findItems(text, Qt::MatchStartsWith);
        match = !exact.isEmpty() ? exact.first() : (!prefix.isEmpty() ? prefix.first() : nullptr);
    }
    const QSignalBlocker block(m_pFaceList);
    m_pFaceList->setCurrentItem(match);
    if (match)
        m_pFaceList->scrollToItem(match);
}

QFont CFontPickerDlg::ChosenFont() const {
    QFont font(m_pFaceEdit->text());
    const int style = std::max(0, m_pStyleList->currentRow());
    font.setWeight(static_cast<QFont::Weight>(WeightFromStyleCode(style)));
    font.setItalic(ItalicFromStyleCode(style));
    return font;
}

int CFontPickerDlg::ChosenWeight() const {
    return QFontInfo(ChosenFont()).weight();
}

void CFontPickerDlg::UpdateSample() {
    QFont font = ChosenFont();
    font.setPixelSize(std::max(1, std::abs(m_nHeight)));
    m_pSample->setFont(font);
    QPalette palette = m_pSample->palette();
    palette.setColor(QPalette::WindowText,
                     ToQColor(static_cast<COLORREF>(m_pColorList->currentData().toUInt())));
    m_pSample->setPalette(palette);
}

void CFontPickerDlg::ReadControls() {
    m_strFace = ToCp1252(m_pFaceEdit->text());
    const int style = std::max(0, m_pStyleList->currentRow());
    m_nStyle = StyleCodeFromFont(ItalicFromStyleCode(style), ChosenWeight());
    m_clrText = static_cast<COLORREF>(m_pColorList->currentData().toUInt());
}

int CFontPickerDlg::DoModal() {
    FillControls();
    if (CUiServices::Instance().ExecDialog(*this) != QDialog::Accepted)
        return QDialog::Rejected;
    ReadControls();
    return QDialog::Accepted;
}

int PointSizeToHeight(const QWidget* window, int points) {
    int dpi = 96;
    if (window)
        dpi = window->logicalDpiY();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = static_cast<int>(screen->logicalDotsPerInchY());
    return PointSizeToHeight(points, dpi);
}

bool PickFont(QWidget* window, int pointSize, std::string& face, std::int32_t& style,
              COLORREF& color) {
    CFontPickerDlg dlg(window);
    dlg.m_strFace = face;
    dlg.m_nStyle = style;
    dlg.m_clrText = color;
    dlg.m_nHeight = PointSizeToHeight(window, pointSize);
    if (dlg.DoModal() != QDialog::Accepted)
        return false;
    face = dlg.m_strFace;
    style = dlg.m_nStyle;
    color = dlg.m_clrText;
    return true;
}
