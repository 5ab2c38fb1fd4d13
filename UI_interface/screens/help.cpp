#include "help.h"
#include "ui_help.h"

#include "globalvariable.h"
#include "styletokens.h"

#include <QDateTime>
#include <QLabel>
#include <QListView>
#include <QStandardItemModel>

Help::Help(QWidget *parent) : QMainWindow(parent), ui(new Ui::Help), model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setGeometry(unitRect(0, 0, 64, 40));
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(Natural_Darker.chopped(1))); // the window colour #000D12
    setPalette(pal);
    setAutoFillBackground(true);

    ui->label_statusbar->setGeometry(unitRect(0, 0, 64, 2));
    ui->label_statusbar->setStyleSheet(statusbar_backgound + font_S + font_color_basic + alignment_C);
    ui->label_statusbar->setText(statusbar_str);
    ui->label_time->setGeometry(int(2 * dpX), 0, 200, int(2 * dpY));
    ui->label_time->setStyleSheet(font_color_basic + font_S);
    ui->label_time->setText("02-10   11:08 ");
    ui->label_time->raise();
    ui->pushButton_back->setGeometry(unitRect(2, 3, 5, 4));
    ui->pushButton_back->setStyleSheet("QPushButton{" + navigationbar_style + image_back + "}" + navigation_pressed);
    ui->pushButton_language->setGeometry(unitRect(53, 3, 4, 4));
    ui->pushButton_language->setStyleSheet("QPushButton{" + navigationbar_style + image_language + "}"
                                           + navigation_pressed);

    ui->label_title->setGeometry(unitRect(8, 3, 48, 4));
    ui->label_title->setText(help_title_str);

    // Topics: one touch target per row.
    const QString price = "€" + QString::number(double(f_price), 'f', 2) + "/kWh";
    const QString topics[] = {help_topic1_str, help_topic2_str, help_topic3_str, help_topic4_str, help_topic5_str};
    const QString pages[] = {help_content1_str, help_content2_str.arg(price), help_content3_str.arg(price),
                             help_content4_str, help_content5_str};
    for (int i = 0; i < 5; ++i) {
        auto *item = new QStandardItem(topics[i]);
        item->setData(pages[i], ContentRole);
        item->setEditable(false);
        model->appendRow(item);
    }
    ui->listView_topics->setGeometry(unitRect(2, 9, 18, 29));
    ui->listView_topics->setModel(model);
    ui->listView_topics->setStyleSheet(help_topics_style);
    ui->listView_topics->setFocusPolicy(Qt::NoFocus);
    ui->listView_topics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->listView_topics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->listView_topics->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->listView_topics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->listView_topics, &QListView::clicked, this, &Help::topicChosen);

    ui->frame_content->setGeometry(unitRect(21, 9, 41, 29));
    ui->frame_content->setStyleSheet("#frame_content{" + help_card_style + "}");
    ui->label_content->setGeometry(unitRect(1.5, 1, 38, 27));
    ui->label_content->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui->label_content->setTextFormat(Qt::RichText);
    ui->label_content->setWordWrap(true);

    showTopic(0);

    m_health = new QLabel(this);
    m_health->setObjectName("label_health");
    m_health->setGeometry(unitRect(21, 38, 41, 2));
    m_health->setStyleSheet(font_Caption + "color:" + Natural_Light);
    m_health->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Help::setHealthDetail(const QString &text)
{
    if (m_health->text() != text)
        m_health->setText(text);
}

QString Help::healthDetail() const
{
    return m_health->text();
}

Help::~Help() { delete ui; }

int Help::topicCount() const { return model->rowCount(); }

int Help::currentTopic() const { return ui->listView_topics->currentIndex().row(); }

void Help::showTopic(int row)
{
    const QModelIndex index = model->index(row, 0);
    if (!index.isValid())
        return;
    ui->listView_topics->setCurrentIndex(index);
    topicChosen(index);
}

void Help::topicChosen(const QModelIndex &index)
{
    ui->label_content->setText(index.data(ContentRole).toString());
}

void Help::timerUpdate() { ui->label_time->setText(QDateTime::currentDateTime().toString("MM-dd hh:mm:ss")); }

void Help::page_show() { show(); }

void Help::page_hide() { hide(); }

void Help::on_pushButton_back_clicked() { emit jump_home(); }
