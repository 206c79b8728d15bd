#!/bin/bash
# Two Vemo instances on one machine talk through the relay: B serves a camera
# of the RTSP test server, A lists B in "VssInfo.xml", logs in at start and
# plays B's camera in a pane (asked for through "RemoteDevInfo.xml").
#
#   tools/relay_pair.sh [seconds=40] [screenshot=relay_pair.png]
#
# Each instance has a program folder of its own (VEMO_PROGRAM_DIR), a runtime
# folder of its own (its single-instance lock) and a relay identity of its own
# (VEMO_LOCAL_MAC: both share this machine's network adapter). B runs without
# a display; A is drawn on a virtual display (Xvfb :78), of which the script
# takes a picture before it stops everything. Both log in as "admin" with the
# password "relay".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-40}
shot=${2:-relay_pair.png}
bin=$here/build/bin/vemo
peers=$here/tests/peers
work=$(mktemp -d)
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ -n "${KEEP:-}" ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap stop EXIT

digest=$(printf '%s' relay | md5sum | cut -c1-32 | tr a-f A-F)
address=$(getent ahostsv4 "$(hostname)" | awk 'NR==1 {print $1}')
relay_port=8899

# The outside peers: the camera's stream and its device-messaging side. Each
# prints "READY <port> ..." once it listens.
ready() {
  for _ in $(seq 100); do
    grep -q '^READY' "$1" 2>/dev/null && { awk '/^READY/ {print $2; exit}' "$1"; return; }
    sleep 0.1
  done
  echo "$1 never got ready" >&2
  exit 1
}
/usr/bin/python3 "$peers/rtsp_server.py" 0 --shared >"$work/rtsp.out" &
pids+=($!)
/usr/bin/python3 "$peers/fake_device.py" 0 --user admin --password secret >"$work/device.out" &
pids+=($!)
rtsp_port=$(ready "$work/rtsp.out")
device_port=$(ready "$work/device.out")

user_info() {
  cat <<EOF
<?xml version="1.0" encoding="gb2312" ?>
<UserInfo>
	<mlog>1</mlog>
	<LoginSetting><AutoLogin>0</AutoLogin></LoginSetting>
	<LoginList><Login><UserName>admin</UserName><Password>$digest</Password><SaveFlg>1</SaveFlg><LastUsingFlg>1</LastUsingFlg></Login></LoginList>
	<UserList><User><UserName>admin</UserName><Password>$digest</Password><GroupName>default</GroupName><RoleName>default</RoleName></User></UserList>
	<GroupList><Group><GroupName>default</GroupName><RoleName>default</RoleName></Group></GroupList>
	<RoleList><Role><RoleName>default</RoleName><SurPTZ>1</SurPTZ><Record>1</Record><Alarm>1</Alarm><PTZ>1</PTZ><UserManager>1</UserManager><HighLeve>1</HighLeve></Role></RoleList>
</UserInfo>
EOF
}

for side in A B; do
  mkdir -p "$work/$side/Config" "$work/$side/run"
  chmod 700 "$work/$side/run"
  # The program's pictures, dialog templates and string tables.
  for shared in Images Lang Resources; do ln -s "$here/build/bin/$shared" "$work/$side/$shared"; done
done
user_info >"$work/B/Config/UserInfo.xml"
user_info >"$work/A/Config/UserInfo.xml"
cat >"$work/B/Config/DevInfo.xml" <<EOF
<?xml version="1.0" encoding="gb2312" ?>
<DevInfo>
	<DevList><Dev><DevType>1</DevType><DevSN>SN-B-1</DevSN><DevId>Gate</DevId><DevName>Gate</DevName>
		<GroupName>Default</GroupName><LoginName>admin</LoginName><LoginPsw>secret</LoginPsw>
		<IPAddr>127.0.0.1</IPAddr><ProtocolType>RTSP</ProtocolType><DefRes>D1</DefRes><VisitMod>0</VisitMod>
		<PtzPort>$device_port</PtzPort><VideoPort>$rtsp_port</VideoPort><RtpOverRtsp>1</RtpOverRtsp></Dev></DevList>
	<GroupList><Group><GroupName nType="1">Default</GroupName></Group></GroupList>
</DevInfo>
EOF
cat >"$work/B/Config/ForwardInfo.xml" <<EOF
<?xml version="1.0" encoding="gb2312" ?>
<Forwarded><Forward IPAddr="$address" Port="$relay_port" ChannelCount="16" UserCount="4" Running="1" /></Forwarded>
EOF
cat >"$work/A/Config/VssInfo.xml" <<EOF
<?xml version="1.0" encoding="gb2312" ?>
<VssList>
<Vemo2Node DevName="Vemo B" IPAddr="$address" LoginName="admin" Password="$digest" nPort="$relay_port" />
</VssList>
EOF
cat >"$work/A/Config/RemoteDevInfo.xml" <<EOF
<?xml version="1.0" encoding="gb2312" ?>
<DevList>
<RemodeDev ParentIp="$address" ParentPort="$relay_port" MyIp="127.0.0.1" Mac="02-00-00-00-00-0B" DevName="Gate" />
</DevList>
EOF

# B serves: its forwarding server runs 10 s after its main window is up.
VEMO_PROGRAM_DIR=$work/B/ XDG_RUNTIME_DIR=$work/B/run VEMO_LOCAL_MAC=02-00-00-00-00-0B VEMO_DRIVE_ROOT=$work/B/drives \
  QT_QPA_PLATFORM=offscreen "$bin" autologin >"$work/B.log" 2>&1 &
pids+=($!)
sleep 14

# A views, on a display of its own.
Xvfb :78 -screen 0 1600x900x24 -noreset >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=:78 VEMO_PROGRAM_DIR=$work/A/ XDG_RUNTIME_DIR=$work/A/run VEMO_LOCAL_MAC=02-00-00-00-00-0A \
  VEMO_DRIVE_ROOT=$work/A/drives "$bin" autologin >"$work/A.log" 2>&1 &
pids+=($!)
sleep "$seconds"
DISPLAY=:78 import -window root "$shot"
echo "screenshot: $shot"
grep -rh "Relay\|relay\|Vemo2" "$work"/*/drives 2>/dev/null | tail -20 || true
