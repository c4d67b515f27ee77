// The main window's side of the start window: the texts of a finished wizard placed as
// text objects on the front side.

#include "designs/Invitation_Wizard.h"

#include "mainwindow/QLNWindowController.h"

#include "canvas/QLNGraphicView.h"

#include <QList>
#include <QRectF>

#include <algorithm>

namespace {

// The texts stand one below the other at fixed points from the top, which suits the
// standard card. On a shorter card, a text whose box would leave the card at the bottom
// is moved up to end a margin above the bottom edge, and each text above it moves up
// only as far as it must to stay clear of the one below; texts that fit keep their
// places. When the boxes do not fit between the margins even so, they are stacked from
// the top margin down, each box's height cut in the same proportion.
template <class Placements>
void keepTextsOnCard(Placements &placements, double cardHeight) {
  if (!(cardHeight > 0.0) || placements.isEmpty())
    return;
  const double margin = std::min(20.0, cardHeight * 0.05);
  double limit = cardHeight - margin;
  for (auto it = placements.rbegin(); it != placements.rend(); ++it) {
    QRectF &r = it->rect;
    if (r.bottom() > limit)
      r.moveBottom(limit);
    limit = r.top();
  }
  if (limit >= 0.0)
    return;
  double heights = 0.0;
  for (const auto &placement : placements)
    heights += placement.rect.height();
  const double room = cardHeight - 2.0 * margin;
  const double scale = heights > room ? room / heights : 1.0;
  double top = margin;
  for (auto &placement : placements) {
    placement.rect.moveTop(top);
    placement.rect.setHeight(placement.rect.height() * scale);
    top = placement.rect.bottom();
  }
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

  // The texts are laid out first and placed at the end, once those that would run off
  // the bottom of a short card have been moved onto it.
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

  keepTextsOnCard(placements, Front_card_Prop.Card_Size().height());
  QLNGraphicView *front = frontView();
  for (const Placement &placement : placements)
    front->createGraphicOfClass(QStringLiteral("QLNText"), std::nullopt, true, placement.rect, QStringLiteral("F"),
                                placement.text, placement.id);

  set_Front_BG_Image(Invite_BG_IMG);
}
