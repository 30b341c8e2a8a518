#pragma once

#include <QWidget>

class QToolButton;

// The up and down arrows beside the "# Columns:" field. Each click (held
// down: repeated) emits stepped(+1) or stepped(-1); the field decides what
// a step does.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);

signals:
    void stepped(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};
