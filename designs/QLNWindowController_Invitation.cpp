// The main window's side of the start window: the texts of a finished wizard placed as
// text objects on the front side.

#include "designs/Invitation_Wizard.h"

#include "mainwindow/QLNWindowController.h"

#include "canvas/QLNGraphicView.h"

#include "core/QLNText.h"

#include <QList>
#include <QRectF>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

// A text placed on the card: its object, the box the standard layout gives it, its
// font there, and the space between the box above it (or the card's top edge) and it.
struct PlacedText {
  std::shared_ptr<QLNText> text;
  QRectF standard;
  std::optional<FontSpec> font;
  double gapAbove = 0.0;
};

// The texts stand one below the other at fixed points from the top, which suits the
// standard card, each in a box of a fixed height. A text whose lines need more than its
// box gets the height they need, and the texts below it move down by as much. On a
// shorter card, a text whose box would leave the card at the bottom is moved up to end
// a margin above the bottom edge, and each text above it moves up only as far as it must
// to stay clear of the one below; texts that fit keep their places. When the boxes do
// not fit between the margins even so, they are stacked from the top margin down, each
// box as tall as its lines need, and the gaps between them and their fonts are cut by
// one factor, the largest with which the stack fits.
void keepTextsWholeOnCard(std::vector<PlacedText> &texts, double cardHeight) {
  if (texts.empty())
    return;
  std::vector<QRectF> boxes;
  double grown = 0.0;
  for (const PlacedText &placed : texts) {
    QRectF box = placed.standard.translated(0.0, grown);
    const double needed = placed.text->drawnTextHeight(box.width());
    if (needed > box.height()) {
      grown += needed - box.height();
      box.setHeight(needed);
    }
    boxes.push_back(box);
  }

  const double margin = cardHeight > 0.0 ? std::min(20.0, cardHeight * 0.05) : 0.0;
  double limit = cardHeight > 0.0 ? cardHeight - margin : boxes.back().bottom();
  for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
    if (box->bottom() > limit)
      box->moveBottom(limit);
    limit = box->top();
  }

  if (limit < 0.0) {
    // The whole stack from the top margin at `factor`: each text's font and each gap
    // below the first text cut by it, each box as tall as its lines then need. Answers
    // whether it ends above the bottom margin.
    const auto fitsAt = [&](double factor) {
      double top = margin;
      for (std::size_t i = 0; i < texts.size(); ++i) {
        PlacedText &placed = texts[i];
        if (placed.font)
          placed.text->text_ctrl_font = FontSpec(placed.font->postScriptName(), placed.font->pointSize() * factor);
        if (i > 0)
          top += placed.gapAbove * factor;
        const double width = placed.standard.width();
        boxes[i] = QRectF(placed.standard.left(), top, width, placed.text->drawnTextHeight(width));
        top = boxes[i].bottom();
      }
      return top <= cardHeight - margin;
    };
    // The largest factor with which the stack fits, found by halving the range between
    // one that fits (or the smallest tried, 1/1000) and one that does not.
    if (!fitsAt(1.0)) {
      double fitting = 1e-3;
      double tooLarge = 1.0;
      for (int round = 0; round < 20; ++round) {
        const double between = (fitting + tooLarge) / 2.0;
        (fitsAt(between) ? fitting : tooLarge) = between;
      }
      fitsAt(fitting);
    }
  }

  for (std::size_t i = 0; i < texts.size(); ++i)
    if (boxes[i] != texts[i].standard)
      texts[i].text->setBounds(boxes[i]);
}

}  // namespace

void QLNWindowController::Fill_Party_Invidation_Details() {
  // The canvas makes text objects while the text tool is selected.
  Selected_Control_Tool = 2;

  // Positions are 32-bit floats from the card's top left corner, y growing downwards.
  // The standard layout leaves 40 points at both sides of the title and the sender and
  // indents the addressee, date, time and venue by 30 points and the message by 50, all
  // as wide as the title. A card narrower than the standard one (243 points) has those
  // margins in proportion to its width beyond 80 points, down to none, so that the texts
  // keep most of its width: each box stays within the card and its lines break between
  // whole words rather than after a letter or two.
  float cardWidth = float(Front_card_Prop.Card_Size().width());
  if (!(cardWidth > 0.0f))
    cardWidth = 0.0f;
  const float margins = std::clamp((cardWidth - 80.0f) / (243.0f - 80.0f), 0.0f, 1.0f);
  float y = 40.0f;
  const float w = cardWidth > 0.0f ? cardWidth - 80.0f * margins : 1.0f;
  const float x = 40.0f * margins;
  // The addressee, date or time and venue stand at 30, the message at 50.
  const float indentX = 30.0f * margins;
  const float centreX = x;

  struct Placement {
    QRectF rect;
    QString text;
    QString id;
  };
  QList<Placement> placements;
  const auto place = [&placements](float left, float top, float width, float height, const QString &text,
                                   const QString &id) {
    placements.append({QRectF(left, top, width, height), text, id});
  };

  if (!Invite_Title.isEmpty()) {
    place(centreX, y, w, 30, Invite_Title, QStringLiteral("PARTY_TITLE"));
    y += 50;
  }
  if (!Invite_To.isEmpty()) {
    place(indentX, y, w, 20, QStringLiteral("Dear ") + Invite_To + QStringLiteral(","), QStringLiteral("PARTY_TO"));
    y += 30;
  }
  if (!Invite_Message.isEmpty()) {
    place(indentX + 20.0f * margins, y, w, 80, Invite_Message, QStringLiteral("PARTY_MSG"));
    y += 80;
  }
  if (!Invite_Date.isEmpty()) {
    QString when = Invite_Date;
    if (!Invite_Time.isEmpty())
      when += QStringLiteral(" at ") + Invite_Time;
    place(indentX, y, w, 20, when, QStringLiteral("PARTY_DATE"));
    y += 30;
  } else if (!Invite_Time.isEmpty()) {
    place(indentX, y, w, 20, QStringLiteral("AT ") + Invite_Time, QStringLiteral("PARTY_TIME"));
    y += 60;
  } else {
    y += 30;
  }
  if (!Invite_Venue.isEmpty()) {
    place(indentX, y, w, 60, QStringLiteral("Venue:\n") + Invite_Venue, QStringLiteral("PARTY_VENUE"));
    y += 70;
  } else {
    y += 20;
  }
  if (!Invite_From.isEmpty())
    place(centreX, y, w, 40, QStringLiteral("From:\n") + Invite_From, QStringLiteral("PARTY_FROM"));

  // Each text is placed in its standard box first, so that it is measured as it draws
  // itself, in the font and alignment the canvas gives it.
  QLNGraphicView *front = frontView();
  std::vector<PlacedText> texts;
  double above = 0.0;
  for (const Placement &placement : placements) {
    front->createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, placement.rect, QStringLiteral("F"),
                                placement.text, placement.id);
    const QLNGraphicList graphics = front->graphics();
    auto text = graphics.isEmpty() ? nullptr : std::dynamic_pointer_cast<QLNText>(graphics.first());
    if (!text || text->control_ID != placement.id)
      continue;
    const QRectF box = text->bounds();
    texts.push_back({text, box, text->text_ctrl_font, box.top() - above});
    above = box.bottom();
  }
  keepTextsWholeOnCard(texts, Front_card_Prop.Card_Size().height());

  set_Front_BG_Image(Invite_BG_IMG);
}
