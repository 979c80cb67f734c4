# Sourced by scripts/test-windows and scripts/windows-screenshots: a Wine
# prefix of their own that is a Japanese Windows, as the program's users
# have.
#
#   start_japanese_wine DIR   makes the prefix in DIR (exported as WINEPREFIX)
#                             and starts its Wine server, which lasts until
#                             `/usr/lib/wine/wineserver -k`
#
# Code page 932: Wine takes it from the Linux locale, made here when it is
# missing. Wine's own dialog font (MS Shell Dlg, mapped to Wine's Tahoma)
# draws no text through Qt, which leaves the controls whose font is the
# system's (the spin boxes) empty: it is mapped to Noto Sans CJK JP, as a
# Japanese Windows has a Japanese dialog font of its own.
wine=/usr/lib/wine/wine64

start_japanese_wine() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    [ -f /usr/share/i18n/locales/ja_JP ] \
      || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends locales
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
  export LC_ALL=ja_JP.UTF-8
  [ -f /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc ] \
    || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends fonts-noto-cjk
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -p
  "$wine" cmd /c exit > /dev/null 2>&1
  local font
  for font in "MS Shell Dlg" "MS Shell Dlg 2"; do
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v "$font" /d "Noto Sans CJK JP" /f > /dev/null 2>&1
  done
}
