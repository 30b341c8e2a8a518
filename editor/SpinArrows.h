#pragma once

#include <QWidget>

class QToolButton;

// The up and down arrows beside the "# Columns:" field. Each click (held
// down: repeated) emits stepped(+1) or stepped(-1); the field decides what
// a step does.
class CSpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit CSpinArrows(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return m_pUp; }
    QToolButton* DownButton() const { return m_pDown; }

signals:
    void stepped(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_pUp;
    QToolButton* m_pDown;
};
