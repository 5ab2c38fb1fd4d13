#ifndef HELP_H
#define HELP_H

// Full-panel help for the driver: how to charge in both modes, how to pay,
// how to stop and what the status-bar icons mean. Topics on the left, the
// chosen topic on a card on the right.

#include <QMainWindow>

class QModelIndex;
class QStandardItemModel;

namespace Ui {
class Help;
}

class Help : public QMainWindow
{
    Q_OBJECT
public:
    explicit Help(QWidget *parent = nullptr);
    ~Help() override;

    // Item role holding a topic's page (rich text).
    static constexpr int ContentRole = Qt::UserRole + 1;

    // Number of topics and the one on show (tests, screenshots).
    int topicCount() const;
    int currentTopic() const;
    void showTopic(int row);

    // The charger's links in words (the status bar's health icon).
    void setHealthDetail(const QString &text);
    QString healthDetail() const;

signals:
    void jump_home();

public slots:
    void timerUpdate();
    void page_show();
    void page_hide();
    void on_pushButton_back_clicked();

private:
    void topicChosen(const QModelIndex &index);

    Ui::Help *ui;
    QStandardItemModel *model;
    class QLabel *m_health;
};

#endif // HELP_H
