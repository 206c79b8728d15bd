// CDlgNetConfig: the network page: the network card and its addresses, DDNS,
// the time server and the e-mail account. Every user edit writes its field of
// the records at once; the main window's save-all sends them. It opens the
// management platform, advanced network and recipients windows.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgNetConfig : public CRgbPage {
 public:
  enum { IDD = 103 };
  enum {
    IDC_COMBO_CARD = 1005,
    IDC_EDIT_IP = 1047,
    IDC_EDIT_PORT = 1048,
    IDC_EDIT_MASK = 1007,
    IDC_EDIT_GATEWAY = 1049,
    IDC_EDIT_MAC = 1009,
    IDC_EDIT_HTTP = 1050,
    IDC_EDIT_MULTICAST = 1011,
    IDC_CHECK_DHCP = 1051,
    IDC_BTN_ADVANCED = 1014,
    IDC_BTN_PLATFORM = 1157,
    IDC_CHECK_DDNS = 1052,
    IDC_COMBO_DDNS_TYPE = 1012,
    IDC_EDIT_DDNS_DOMAIN = 1013,
    IDC_EDIT_DDNS_PORT = 1015,
    IDC_EDIT_DDNS_USER = 1016,
    IDC_EDIT_DDNS_PASSWORD = 1017,
    IDC_EDIT_DDNS_CONFIRM = 1018,
    IDC_EDIT_DDNS_DEVDOMAIN = 1019,
    IDC_CHECK_NTP = 1024,
    IDC_EDIT_NTP_SERVER = 1023,
    IDC_EDIT_NTP_PORT = 1021,
    IDC_EDIT_NTP_INTERVAL = 1022,
    IDC_COMBO_NTP_ZONE = 1020,
    IDC_EDIT_GMT_HOURS = 1025,
    IDC_EDIT_GMT_MINUTES = 1026,
    IDC_CHECK_FINE_TUNE = 1027,
    IDC_EDIT_MAIL_SERVER = 1028,
    IDC_EDIT_MAIL_PASSWORD = 1029,
    IDC_EDIT_MAIL_CONFIRM = 1030,
    IDC_EDIT_MAIL_INTERVAL = 1031,
    IDC_EDIT_MAIL_SMTP = 1032,
    IDC_EDIT_MAIL_PORT = 1033,
    IDC_CHECK_SSL = 1034,
    IDC_CHECK_ATTACH = 1035,
    IDC_BTN_CONTACTS = 1036,
  };

  explicit CDlgNetConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  BOOL OnInitDialog() override;
  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();

 private:
  void OnEdited(int id, const QString& text);
  void OnDdnsClicked();
  void OnNtpClicked();
  void StorePasswords(int first, int second, char* field, size_t width);
  void SetText(int id, const QString& text);
  void OnAdvanced();
  void OnPlatform();
  void OnContacts();
};
