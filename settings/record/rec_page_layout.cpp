#include "settings/record/rec_page_layout.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kLanguageRussian = 3;

struct Place {
  int id, x, width, height;
};

// Check box, day combo and the two time pickers of span rows 1 .. 7.
constexpr int kSpanCheck[] = {1006, 1011, 1146, 1147, 1148, 1093, 1149};
constexpr int kSpanDay[] = {1117, 1204, 1205, 1206, 1207, 1208, 1209};
constexpr int kSpanStart[] = {1150, 1152, 1154, 1156, 1158, 1160, 1162};
constexpr int kSpanEnd[] = {1151, 1153, 1155, 1157, 1159, 1161, 1163};

// The record rows: our dialog font is wider than the skin's, so the labels of
// the rows are a little wider than the skin's pixels.
const std::vector<Place>& FirstRecordRow(bool russian) {
  static const std::vector<Place> other = {{1181, 24, 80, 23},  {1115, 105, 100, 100}, {1180, 215, 120, 23},
                                           {1296, 335, 60, 100}, {1183, 400, 60, 23},   {1179, 465, 90, 23},
                                           {1286, 555, 50, 80},  {1182, 610, 60, 23}};
  static const std::vector<Place> ru = {{1181, 24, 80, 23},   {1115, 105, 100, 100}, {1180, 210, 170, 23},
                                        {1296, 380, 60, 100}, {1183, 440, 60, 23},   {1179, 500, 150, 23},
                                        {1286, 650, 50, 80},  {1182, 700, 60, 23}};
  return russian ? ru : other;
}

const std::vector<Place>& SecondRecordRow(bool russian) {
  static const std::vector<Place> other = {{1203, 24, 80, 23},  {1116, 105, 100, 100}, {1188, 215, 120, 23},
                                           {1055, 335, 60, 23}, {1189, 400, 80, 23},   {1202, 485, 110, 23}};
  static const std::vector<Place> ru = {{1203, 24, 80, 23},  {1116, 105, 100, 100}, {1188, 210, 150, 23},
                                        {1055, 380, 60, 23}, {1189, 440, 100, 23},  {1202, 530, 100, 23}};
  return russian ? ru : other;
}

}  // namespace

std::map<int, RECT> RecPageLayout(const RECT& client, int language, int policyWidth) {
  const int L = client.left, T = client.top;
  const int W = client.right - client.left, H = client.bottom - client.top;
  const int G = (H - T - 65) / 2, Q = (W - 34) / 4, R = (H - 65) / 2, S = (H + 40) / 2;
  std::map<int, RECT> at;
  auto put = [&](int id, int x, int y, int w, int h) { at[id] = RECT{x, y, x + w, y + h}; };

  put(1256, L + 3, T, W - 14, H - T - 10);
  put(1257, L + 14, T + 15, W - 34, G - 30);
  const int labels[] = {1173, 1175, 1241, 1176, 1177, 1178};
  const int labelY[] = {48, 85, 120, 158, 195, 225};
  for (int i = 0; i < 6; ++i) put(labels[i], L + 24, T + labelY[i], 90, 23);
  put(1284, L + 24, T + 255, 260, 50);
  put(1048, L + 110, T + 48, 120, 23);
  put(1114, L + 110, T + 85, policyWidth, 100);
  put(1118, L + 110, T + 120, policyWidth, 100);
  const int shift = std::max(0, 110 + policyWidth + 5 - 300);  // the trees' block, right of the combo boxes
  const int pathEdits[] = {1050, 1051, 1052}, browse[] = {1184, 1185, 1186}, pathY[] = {158, 195, 225};
  for (int i = 0; i < 3; ++i) {
    put(pathEdits[i], L + 110, T + pathY[i], 120, 23);
    put(browse[i], L + 240, T + pathY[i], 57, 28);
  }
  put(1259, L + shift + 300, T + 30, Q, 23);
  put(1142, L + shift + 300, T + 48, Q, G - 70);
  put(1144, L + shift + Q + 305, T + 150, 57, 28);
  put(1145, L + shift + Q + 305, T + 188, 57, 28);
  put(1260, 2 * L + shift + Q + 370, T + 30, Q, 23);
  put(1143, 2 * L + shift + Q + 370, T + 48, Q, G - 70);
  put(1258, L + 14, T + G + 8, W - 34, R + 10);

  const bool russian = language == kLanguageRussian;
  for (const Place& p : FirstRecordRow(russian)) put(p.id, L + p.x, R + 20, p.width, p.height);
  for (const Place& p : SecondRecordRow(russian)) put(p.id, L + p.x, R + 45, p.width, p.height);

  for (int k = 1; k <= 7; ++k) {
    const int y = S + 30 * k;
    put(kSpanCheck[k - 1], L + 24, y, 88, 23);
    put(kSpanDay[k - 1], L + 113, y, 100, 100);
    put(kSpanFromLabel + k - 1, L + 218, y, 34, 23);
    put(kSpanStart[k - 1], L + 252, y, 100, 23);
    put(kSpanToLabel + k - 1, L + 360, y, 24, 23);
    put(kSpanEnd[k - 1], L + 387, y, 100, 23);
  }
  const int buttonY = T + G + 40 + R - 20;
  // As wide as their picture, which the skin's 77 pixels cut short.
  put(1172, L + 19, buttonY, 80, 28);
  put(1187, L + 101, buttonY, 80, 28);
  put(1171, L + 183, buttonY, 80, 28);
  return at;
}
