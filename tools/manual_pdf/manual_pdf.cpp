// Turns the user manual's source (Markdown, with its pictures beside it) into
// the PDF file that the console's "Help" opens:
//   manual_pdf <manual.md> <out.pdf> [title]
// Pictures named in the source are read relative to the source's folder and
// shown at most as wide as the page's text. The file is written through a
// temporary one, so that a broken run leaves no half file behind.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qreal kTextWidth = 640;  // the text's width on an A4 page, in the document's pixels

// Every picture of the document read from `folder`, put into the document
// and shown at most as wide as the text, its side ratio kept. False when a
// picture is missing.
bool FitPictures(QTextDocument& document, const QString& folder) {
  bool found = true;
  struct Place {
    int position, length;
    QTextImageFormat picture;
  };
  std::vector<Place> places;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.isValid() && fragment.charFormat().isImageFormat())
        places.push_back({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
    }
  }
  for (Place& place : places) {
    const QImage image(folder + "/" + place.picture.name());
    if (image.isNull()) {
      std::fprintf(stderr, "manual_pdf: picture %s not found\n", qPrintable(place.picture.name()));
      found = false;
      continue;
    }
    document.addResource(QTextDocument::ImageResource, QUrl(place.picture.name()), image);
    const qreal width = std::min<qreal>(image.width(), kTextWidth);
    place.picture.setWidth(width);
    place.picture.setHeight(image.height() * width / image.width());
    QTextCursor cursor(&document);
    cursor.setPosition(place.position);
    cursor.setPosition(place.position + place.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(place.picture);
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: manual_pdf <manual.md> <out.pdf> [title]\n");
    return 2;
  }
  const QString source = QString::fromLocal8Bit(argv[1]);
  const QString target = QString::fromLocal8Bit(argv[2]);
  QFile input(source);
  if (!input.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "manual_pdf: cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument document;
  QFont font = document.defaultFont();
  font.setPointSize(10);
  // No ligatures: a reader searching the file finds "fi" as two letters.
  font.setStyleStrategy(QFont::PreferNoShaping);
  document.setDefaultFont(font);
  document.setMarkdown(QString::fromUtf8(input.readAll()), QTextDocument::MarkdownDialectGitHub);
  if (!FitPictures(document, QFileInfo(source).absolutePath())) return 1;

  const QString temporary = target + ".tmp";
  {
    QPdfWriter writer(temporary);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    writer.setTitle(argc > 3 ? QString::fromUtf8(argv[3]) : QFileInfo(source).baseName());
    writer.setCreator(QStringLiteral("Vemo"));
    document.print(&writer);
  }
  QFile::remove(target);
  if (!QFile::rename(temporary, target)) {
    std::fprintf(stderr, "manual_pdf: cannot write %s\n", argv[2]);
    QFile::remove(temporary);
    return 1;
  }
  return 0;
}
