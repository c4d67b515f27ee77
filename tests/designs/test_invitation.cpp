// The finished start window's texts placed on the front side: positions, gaps, widths,
// ids, alignments and fonts of each text object, and the background picture.

#include "tests/mainwindow/main_window_fixture.h"

#include "designs/Invitation_Wizard.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNText.h"

#include <QImage>
#include <QPainter>

namespace {

class InvitationTextsTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    for (QString *text : {&Invite_Title, &Invite_Message, &Invite_From, &Invite_To, &Invite_Venue, &Invite_Date,
                          &Invite_Time, &Invite_BG_IMG})
      text->clear();
    setCardWidth(340.16);
  }

  void TearDown() override {
    for (QString *text : {&Invite_Title, &Invite_Message, &Invite_From, &Invite_To, &Invite_Venue, &Invite_Date,
                          &Invite_Time, &Invite_BG_IMG})
      text->clear();
    MainWindowTest::TearDown();
  }

  void setCardWidth(double width) { controller->Front_card_Prop.setCard_Size(QSizeF(width, 340.16)); }

  // The placed objects by id, in placement order (the canvas puts each new one first).
  QList<std::shared_ptr<QLNText>> placed() const {
    QList<std::shared_ptr<QLNText>> texts;
    const QLNGraphicList front = controller->Get_Front_Controls_Array();
    for (auto it = front.rbegin(); it != front.rend(); ++it) {
      auto text = std::dynamic_pointer_cast<QLNText>(*it);
      EXPECT_NE(text, nullptr) << (*it)->className().toStdString();
      if (text)
        texts << text;
    }
    return texts;
  }

  // `count` texts, in their order from the top, none overlapping the next, all within
  // the card's margins.
  void expectStackedOnCard(qsizetype count, double cardHeight) const {
    const auto texts = placed();
    ASSERT_EQ(texts.size(), count);
    for (qsizetype i = 0; i < texts.size(); ++i) {
      const QRectF r = texts[i]->_bounds;
      EXPECT_GE(r.top(), 0) << texts[i]->control_ID.toStdString();
      EXPECT_LE(r.bottom(), cardHeight - cardHeight * 0.05 + 1e-9) << texts[i]->control_ID.toStdString();
      EXPECT_GT(r.height(), 0) << texts[i]->control_ID.toStdString();
      if (i > 0) {
        EXPECT_LE(texts[i - 1]->_bounds.bottom(), r.top() + 1e-9)
            << texts[i - 1]->control_ID.toStdString() << " overlaps " << texts[i]->control_ID.toStdString();
      }
    }
  }

  // Whether the text shows whole in its box: drawn in its box, four pixels a point, it
  // looks the same as when drawn in a box far taller than the card.
  static bool drawsWhole(const std::shared_ptr<QLNText> &text) {
    const QRectF box = text->_bounds;
    const QRectF area = box.adjusted(-10, -10, 10, 400);
    const auto drawn = [&](QLNGraphic &graphic) {
      QImage image((area.size() * 4).toSize(), QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::white);
      QPainter painter(&image);
      painter.scale(4, 4);
      painter.translate(-area.topLeft());
      graphic.drawContentsInView(&painter, false);
      painter.end();
      return image;
    };
    const QLNGraphicPtr tall = text->copyForRendering();
    tall->setBounds(QRectF(box.topLeft(), QSizeF(box.width(), 10000)));
    return drawn(*text) == drawn(*tall);
  }

  static QString layout(const QList<std::shared_ptr<QLNText>> &texts) {
    QStringList parts;
    for (const auto &text : texts) {
      const QRectF r = text->_bounds;
      parts << QStringLiteral("%1 (%2, %3, %4, %5)")
                   .arg(text->control_ID)
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height());
    }
    return parts.join(QStringLiteral("; "));
  }

  QLNWindowController *controller = nullptr;
};

}  // namespace

TEST_F(InvitationTextsTest, TitleAddresseeMessageAndSenderStackOnA120MillimetreCard) {
  Invite_Title = QStringLiteral("I'm So Sorry!!!");
  Invite_To = QStringLiteral("Ana");
  Invite_Message = QStringLiteral("I was wrong, and you deserved better.");
  Invite_From = QStringLiteral("Ben");
  controller->Fill_Party_Invidation_Details();

  const auto texts = placed();
  // w = 340.16 - 80 = 260.16 (a float).
  const double w = double(340.16f - 80.0f);
  ASSERT_EQ(texts.size(), 4);
  EXPECT_EQ(layout(texts), QStringLiteral("PARTY_TITLE (40, 40, %1, 30); PARTY_TO (30, 90, %1, 20); "
                                          "PARTY_MSG (50, 120, %1, 80); PARTY_FROM (40, 250, %1, 40)")
                               .arg(w));
  EXPECT_EQ(texts[0]->Text_Value, QStringLiteral("I'm So Sorry!!!"));
  EXPECT_EQ(texts[1]->Text_Value, QStringLiteral("Dear Ana,"));
  EXPECT_EQ(texts[2]->Text_Value, QStringLiteral("I was wrong, and you deserved better."));
  EXPECT_EQ(texts[3]->Text_Value, QStringLiteral("From:\nBen"));

  // Alignments: title centred, sender right, addressee and message left.
  EXPECT_EQ(texts[0]->text_alignmnet, 2);
  EXPECT_EQ(texts[1]->text_alignmnet, 0);
  EXPECT_EQ(texts[2]->text_alignmnet, 0);
  EXPECT_EQ(texts[3]->text_alignmnet, 1);
  // The title's font; the others take the main window's text font.
  EXPECT_EQ(texts[0]->text_ctrl_font, FontSpec(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0));
  for (int i = 1; i < 4; ++i)
    EXPECT_EQ(texts[i]->text_ctrl_font, std::optional<FontSpec>(controller->All_Text_font()));
  for (const auto &text : texts) {
    EXPECT_FALSE(text->isDrawingStroke());
    EXPECT_FALSE(text->isDrawingFill());
  }
  // The text tool stays selected.
  EXPECT_EQ(controller->Selected_Control_Tool, 2);
}

TEST_F(InvitationTextsTest, EmptyTextsLeaveNoGapButTheDateAndVenueSlotsAlwaysDo) {
  Invite_Title = QStringLiteral("Sorry!");
  Invite_From = QStringLiteral("Ben");
  controller->Fill_Party_Invidation_Details();
  const auto texts = placed();
  ASSERT_EQ(texts.size(), 2);
  // 40 + 50 (title) + 30 (date slot) + 20 (venue slot).
  EXPECT_EQ(texts[1]->control_ID, QStringLiteral("PARTY_FROM"));
  EXPECT_EQ(texts[1]->_bounds, QRectF(40, 140, double(340.16f - 80.0f), 40));
}

TEST_F(InvitationTextsTest, ATimeAloneADateWithATimeAndAVenue) {
  // A time alone: its own object, and what follows starts 60 points lower.
  Invite_Time = QStringLiteral("7:30 PM");
  Invite_Venue = QStringLiteral("The old bridge");
  controller->Fill_Party_Invidation_Details();
  auto texts = placed();
  ASSERT_EQ(texts.size(), 2);
  EXPECT_EQ(texts[0]->control_ID, QStringLiteral("PARTY_TIME"));
  EXPECT_EQ(texts[0]->Text_Value, QStringLiteral("AT 7:30 PM"));
  EXPECT_EQ(texts[0]->_bounds.topLeft(), QPointF(30, 40));
  EXPECT_EQ(texts[0]->text_alignmnet, 2);
  EXPECT_EQ(texts[1]->control_ID, QStringLiteral("PARTY_VENUE"));
  EXPECT_EQ(texts[1]->Text_Value, QStringLiteral("Venue:\nThe old bridge"));
  EXPECT_EQ(texts[1]->_bounds, QRectF(30, 100, double(340.16f - 80.0f), 60));
  EXPECT_EQ(texts[1]->text_alignmnet, 2);

  // A date and a time: one object; a sender below a venue starts 70 points lower.
  controller->frontView()->delete_all_control();
  Invite_Date = QStringLiteral("Saturday, 14 March 2026");
  Invite_From = QStringLiteral("Kim");
  controller->Fill_Party_Invidation_Details();
  texts = placed();
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0]->control_ID, QStringLiteral("PARTY_DATE"));
  EXPECT_EQ(texts[0]->Text_Value, QStringLiteral("Saturday, 14 March 2026 at 7:30 PM"));
  EXPECT_EQ(texts[1]->_bounds.top(), 70);
  EXPECT_EQ(texts[2]->control_ID, QStringLiteral("PARTY_FROM"));
  EXPECT_EQ(texts[2]->_bounds.topLeft(), QPointF(40, 140));
}

TEST_F(InvitationTextsTest, TheChosenPictureBecomesTheFrontBackground) {
  const QString picture = root.path() + QStringLiteral("/Blush.png");
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(QColor(250, 200, 210));
  ASSERT_TRUE(image.save(picture));
  Invite_BG_IMG = picture;
  controller->Fill_Party_Invidation_Details();
  EXPECT_TRUE(controller->Get_Front_Controls_Array().isEmpty());
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), picture);
  EXPECT_TRUE(controller->Front_card_Prop.Card_fill_chk());
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("I"));
  EXPECT_TRUE(controller->Back_card_Prop.Card_BG_Image_Path().isEmpty());
}

TEST_F(InvitationTextsTest, ACardNarrowerThanItsMarginsStillGetsItsTexts) {
  setCardWidth(60);
  Invite_Title = QStringLiteral("Sorry!");
  Invite_Message = QStringLiteral("Forgive me.");
  controller->Fill_Party_Invidation_Details();
  const auto texts = placed();
  ASSERT_EQ(texts.size(), 2);
  for (const auto &text : texts) {
    EXPECT_EQ(text->_bounds.width(), 60) << text->control_ID.toStdString();
    EXPECT_GE(text->_bounds.left(), 0);
  }
}

TEST_F(InvitationTextsTest, OnAShortCardTextsThatWouldLeaveItAreMovedOntoItAndTheOthersKeepTheirPlaces) {
  // A 90 x 90 mm card: the sender's fixed place (250 to 290) lies below its edge at 255.
  const double side = 255.12;
  controller->Front_card_Prop.setCard_Size(QSizeF(side, side));
  Invite_Title = QStringLiteral("I'm So Sorry!!!");
  Invite_To = QStringLiteral("Ana");
  Invite_Message = QStringLiteral("I was wrong, and you deserved better.");
  Invite_From = QStringLiteral("Ben");
  controller->Fill_Party_Invidation_Details();
  auto texts = placed();
  ASSERT_EQ(texts.size(), 4);
  const double w = double(float(side) - 80.0f);
  // A margin of 5% of the height (12.756) below the sender.
  EXPECT_EQ(layout(texts), QStringLiteral("PARTY_TITLE (40, 40, %1, 30); PARTY_TO (30, 90, %1, 20); "
                                          "PARTY_MSG (50, 120, %1, 80); PARTY_FROM (40, %2, %1, 40)")
                               .arg(w)
                               .arg(side - side * 0.05 - 40));
  for (const auto &text : texts)
    EXPECT_LE(text->_bounds.bottom(), side) << text->control_ID.toStdString();

  // With a date as well: the sender moves up, each text above it moves only as far as
  // it must to stay clear of the one below, and the title stays where it was.
  controller->frontView()->delete_all_control();
  Invite_Date = QStringLiteral("Saturday");
  controller->Fill_Party_Invidation_Details();
  expectStackedOnCard(5, side);
  EXPECT_EQ(placed()[0]->_bounds, QRectF(40, 40, w, 30)) << "the title fits where it stands";
  EXPECT_EQ(placed()[3]->_bounds.bottom(), placed()[4]->_bounds.top());

  // Every text on a card far too low for their boxes: stacked between the margins,
  // each still showing whole.
  controller->frontView()->delete_all_control();
  Invite_Venue = QStringLiteral("The old bridge");
  Invite_Time = QStringLiteral("7:30 PM");
  controller->Front_card_Prop.setCard_Size(QSizeF(200, 100));
  controller->Fill_Party_Invidation_Details();
  expectStackedOnCard(6, 100);
  for (const auto &text : placed())
    EXPECT_TRUE(drawsWhole(text)) << text->control_ID.toStdString();
}

TEST_F(InvitationTextsTest, TextsGetTheLinesTheyNeedAndOnTheSmallestCardTheGapsAndFontsShrinkTogether) {
  // A 100 x 120 mm card: the title wraps to two lines of its 18-point font, the sender
  // of 40 characters to three.
  const QSizeF card(283.46, 340.16);
  controller->Front_card_Prop.setCard_Size(card);
  Invite_Title = QStringLiteral("Please, please, please forgive me.");
  Invite_To = QStringLiteral("Ana");
  Invite_Message = QStringLiteral("I was wrong, and you deserved better.");
  Invite_From = QStringLiteral("Bartholomew Jeremiah Fitzgerald Kingsley");
  controller->Fill_Party_Invidation_Details();
  auto texts = placed();
  ASSERT_EQ(texts.size(), 4);
  expectStackedOnCard(4, card.height());
  for (const auto &text : texts)
    EXPECT_TRUE(drawsWhole(text)) << layout(texts).toStdString();
  // The title grew; the texts below it moved down by as much and kept their heights,
  // gaps and fonts.
  const double grown = texts[0]->_bounds.height() - 30;
  EXPECT_GT(grown, 0);
  EXPECT_EQ(texts[0]->_bounds.top(), 40);
  EXPECT_EQ(texts[1]->_bounds, QRectF(30, 90 + grown, texts[0]->_bounds.width(), 20));
  EXPECT_EQ(texts[2]->_bounds.top(), 120 + grown);
  EXPECT_EQ(texts[3]->_bounds.top(), 250 + grown);
  EXPECT_GT(texts[3]->_bounds.height(), 40);
  EXPECT_EQ(texts[0]->text_ctrl_font, FontSpec(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0));
  for (int i = 1; i < 4; ++i)
    EXPECT_EQ(texts[i]->text_ctrl_font, std::optional<FontSpec>(controller->All_Text_font()));

  // The smallest card, 30 x 30 mm, with a long title and message: the gaps and the
  // fonts are cut down by one factor until every text shows whole on the card.
  controller->frontView()->delete_all_control();
  const double side = double(QLNWindowController::MM_to_Points_Convert(30.0f));
  controller->Front_card_Prop.setCard_Size(QSizeF(side, side));
  Invite_Title = QStringLiteral("I can't sleep and I can't eat.");
  Invite_Message = QStringLiteral("I was wrong, and you deserved so much better from me. Please forgive me, "
                                  "sweetheart; my world feels empty without your smile.");
  controller->Fill_Party_Invidation_Details();
  texts = placed();
  ASSERT_EQ(texts.size(), 4);
  expectStackedOnCard(4, side);
  for (const auto &text : texts)
    EXPECT_TRUE(drawsWhole(text)) << layout(texts).toStdString();
  ASSERT_TRUE(texts[0]->text_ctrl_font);
  const double factor = texts[0]->text_ctrl_font->pointSize() / 18.0;
  EXPECT_LT(factor, 1.0);
  EXPECT_GE(texts[0]->text_ctrl_font->pointSize(), 5.0) << "the title stays readable";
  for (int i = 1; i < 4; ++i) {
    ASSERT_TRUE(texts[i]->text_ctrl_font);
    EXPECT_NEAR(texts[i]->text_ctrl_font->pointSize(), controller->All_Text_font().pointSize() * factor, 1e-6);
    EXPECT_EQ(texts[i]->text_ctrl_font->postScriptName(), controller->All_Text_font().postScriptName());
  }
  const double gaps[] = {20, 10, 50};
  for (int i = 1; i < 4; ++i)
    EXPECT_NEAR(texts[i]->_bounds.top() - texts[i - 1]->_bounds.bottom(), gaps[i - 1] * factor, 1e-3)
        << texts[i]->control_ID.toStdString();
}
