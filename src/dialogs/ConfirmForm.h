#pragma once

#include <QColor>
#include <QDialog>
#include <QTimer>

class QLabel;

// A small modal window with a message in raised lettering that closes itself after two
// seconds, or at once when it is clicked.
class ConfirmForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Lifetime = 2000; // milliseconds

    ConfirmForm(QWidget *owner, float twipsPerPixelX, float twipsPerPixelY);

    // Sets the text of both labels and the colours of the front and rear lettering.
    void setMessage(const QString &text, const QColor &front, const QColor &rear);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Timer1_Timer();

    QLabel *m_label1;
    QLabel *m_label2;
    QTimer m_timer1;
};
