#include "settings/users/user_page_layout.h"

namespace {

struct Cell {
  int id, x, width;
};

void PlaceRow(std::map<int, QRect>& out, const QRect& client, int y, int height,
              std::initializer_list<Cell> cells) {
  for (const Cell& cell : cells) out[cell.id] = QRect(client.left() + cell.x, client.top() + y, cell.width, height);
}

// Three buttons of a part: add, remove, modify.
void PlaceButtons(std::map<int, QRect>& out, const QRect& client, int y, int add, int remove, int modify) {
  PlaceRow(out, client, y, 28, {{add, 19, 120}, {remove, 144, 120}, {modify, 269, 120}});
}

}  // namespace

std::map<int, QRect> UserPageLayout(const QRect& client) {
  std::map<int, QRect> out;
  const int w = client.width();
  const int h = client.height();
  const int quarter = (h - 55) / 4;
  const int groupWidth = w - 14;

  PlaceRow(out, client, 0, quarter, {{1076, 3, groupWidth}});
  PlaceRow(out, client, 30, 23, {{1097, 14, 130}, {1099, 150, 150}, {1098, 320, 130}});
  PlaceRow(out, client, 30, 100, {{1079, 455, 150}});
  PlaceButtons(out, client, 70, 1082, 1081, 1080);

  const int userTop = quarter + 25;
  PlaceRow(out, client, userTop, quarter, {{1077, 3, groupWidth}});
  PlaceRow(out, client, userTop + 30, 23, {{1100, 14, 130}, {1083, 150, 150}, {1101, 320, 130}});
  PlaceRow(out, client, userTop + 30, 100, {{1085, 455, 150}});
  PlaceRow(out, client, userTop + 60, 23, {{1102, 14, 130}, {1084, 150, 150}, {1103, 320, 130}, {1086, 455, 150}});
  PlaceButtons(out, client, userTop + 100, 1089, 1088, 1087);

  const int roleTop = (2 * h - 110) / 4 + 50;
  PlaceRow(out, client, roleTop, quarter, {{1078, 3, groupWidth}});
  PlaceRow(out, client, roleTop + 30, 23, {{1104, 14, 130}, {1106, 150, 150}});
  int buttonsTop = roleTop + 100;
  if (w >= kUserPageOneRightsRow) {
    PlaceRow(out, client, roleTop + 60, 23,
             {{1105, 14, 150}, {1006, 170, 150}, {1011, 320, 150}, {1090, 470, 150}, {1092, 660, 190},
              {1091, 850, 190}, {1093, 1040, 190}});
  } else {
    PlaceRow(out, client, roleTop + 60, 23, {{1105, 14, 150}, {1006, 170, 150}, {1011, 320, 150}, {1090, 470, 150}});
    PlaceRow(out, client, roleTop + 88, 23, {{1092, 170, 190}, {1091, 370, 150}, {1093, 520, 190}});
    buttonsTop = roleTop + 118;
  }
  PlaceButtons(out, client, buttonsTop, 1096, 1095, 1094);

  const int captionTop = 3 * (h - 55) / 4 + 75;
  PlaceRow(out, client, captionTop, 100, {{1353, 3, groupWidth}});
  PlaceRow(out, client, captionTop + 28, 25, {{1354, 14, 130}});
  PlaceRow(out, client, captionTop + 30, 23, {{1048, 150, w - 240}, {1352, w - 80, 60}});
  return out;
}
