#!/usr/bin/env bash
# Draws the demo product's banner (585 x 68, 24 bits per pixel) with ImageMagick:
#   tools/demo/make_banner.sh tools/demo/banner.bmp
set -euo pipefail
out=${1:-"$(dirname "$0")/banner.bmp"}
font=$(fc-list ':lang=zh' file | grep -i wqy | head -n1 | cut -d: -f1)
convert -size 585x68 gradient:'#0b3d6e'-'#2f8fd0' -rotate -90 -resize 585x68! \
  -fill '#ffffff22' -draw 'circle 520,34 600,34' -fill '#ffffff18' -draw 'circle 470,80 540,80' \
  -fill white -font "$font" -pointsize 26 -annotate +18+40 '星河报表 2026' \
  -fill '#d8ecff' -pointsize 12 -annotate +20+59 '演示产品 · 客户端/服务器报表系统' \
  -type TrueColor BMP3:"$out"
