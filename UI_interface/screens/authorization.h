#ifndef AUTHORIZATION_H
#define AUTHORIZATION_H

#include <QWidget>

namespace Ui {
class Authorization;
}

// Payment prompt: how to pay, with a picture of the card terminal beside the
// charger. Payment itself happens outside this program.
class Authorization : public QWidget
{
    Q_OBJECT
public:
    explicit Authorization(QWidget *parent = nullptr);
    ~Authorization() override;

    // A refused card is told on the page itself, until the page is left.
    void showCardRefused();
    void clearNotice();
    bool noticeShown() const;

private:
    Ui::Authorization *ui;
    class QLabel *m_notice;
};

#endif // AUTHORIZATION_H
