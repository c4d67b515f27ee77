// Renders the help text (docs/help/Help.html) into the help file the program ships
// (resources/Help.pdf): A4 pages with 2 cm margins and a page footer, every chapter
// (<h1>) on a page of its own. A chapter that does not fit on its one page is reported
// and nothing is written, so the help file keeps one page per chapter.
//
//   amends_make_help <project>/docs/help/Help.html <project>/resources/Help.pdf

#include "platform/WholeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <cstdio>

namespace {

constexpr int Resolution = 300;                   // dots per inch of the layout
constexpr double MarginInches = 2.0 / 2.54;       // 2 cm
constexpr double FooterInches = 0.25;

int fail(const QString &message) {
  std::fprintf(stderr, "amends_make_help: %s\n", qPrintable(message));
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 3)
    return fail(QStringLiteral("usage: amends_make_help <Help.html> <Help.pdf>"));

  QFile source(args.at(1));
  if (!source.open(QIODevice::ReadOnly))
    return fail(QStringLiteral("%1 cannot be read: %2").arg(args.at(1), source.errorString()));
  const QString html = QString::fromUtf8(source.readAll());

  WholeFile target(args.at(2));
  if (!target.open())
    return fail(QStringLiteral("%1 cannot be written: %2").arg(args.at(2), target.reason()));
  QPdfWriter writer(target.device());
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  writer.setResolution(Resolution);
  writer.setTitle(QStringLiteral("Amends Help"));
  writer.setCreator(QStringLiteral("Amends"));

  const QRectF page = writer.pageLayout().fullRectPixels(Resolution);
  const double margin = MarginInches * Resolution;
  const double footer = FooterInches * Resolution;
  const QSizeF body(page.width() - 2 * margin, page.height() - 2 * margin - footer);

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&writer);
  document.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 11));
  document.setDefaultStyleSheet(QStringLiteral("h1 { color: #2b4a7a; } h2 { color: #2b4a7a; } li { margin-bottom: 4px; }"));
  document.setHtml(html);
  QTextFrameFormat frame = document.rootFrame()->frameFormat();
  frame.setMargin(0);
  document.rootFrame()->setFrameFormat(frame);
  document.setPageSize(body);

  // Every chapter must start the page after the previous chapter's.
  QStringList chapters;
  int expectedPage = 0;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 1)
      continue;
    const int onPage = int(document.documentLayout()->blockBoundingRect(block).top() / body.height());
    if (onPage != expectedPage) {
      target.cancel();
      return fail(QStringLiteral("the chapter before \"%1\" does not fit on one page").arg(block.text()));
    }
    chapters << block.text();
    ++expectedPage;
  }
  const int pages = document.pageCount();
  if (chapters.isEmpty() || pages != chapters.size()) {
    target.cancel();
    return fail(QStringLiteral("%1 chapters on %2 pages: the last chapter does not fit on one page")
                    .arg(chapters.size())
                    .arg(pages));
  }

  QPainter painter(&writer);
  QFont footerFont(QStringLiteral("Liberation Sans"));
  footerFont.setPointSizeF(9);
  for (int i = 0; i < pages; ++i) {
    if (i > 0)
      writer.newPage();
    painter.save();
    painter.translate(margin, margin - i * body.height());
    document.drawContents(&painter, QRectF(QPointF(0, i * body.height()), body));
    painter.restore();
    painter.setFont(footerFont);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.drawText(QRectF(margin, page.height() - margin, body.width(), footer), Qt::AlignCenter,
                     QStringLiteral("Amends Help - %1 - page %2 of %3").arg(chapters.at(i)).arg(i + 1).arg(pages));
  }
  if (!painter.end()) {
    target.cancel();
    return fail(QStringLiteral("the PDF could not be drawn"));
  }
  if (!target.commit())
    return fail(QStringLiteral("%1 cannot be written: %2").arg(args.at(2), target.reason()));
  std::printf("%s: %d pages\n", qPrintable(args.at(2)), pages);
  return 0;
}
