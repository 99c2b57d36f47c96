#!/usr/bin/env bash
# Vector pages against raster pages. Each example and the fill sheet render
# at 300 dpi as a raster page, a PDF and an SVG; the PDF rasterised by
# poppler and the SVG by librsvg must put their ink within one pixel of the
# raster page's ink and the other way round (99% and 98% of the ink). The
# PDF embeds its font as a subset, gives back every text element's string
# and holds exactly the overlay's own images. No page warns of drawings
# kept as rasters. (Offsets and documents of several pages: the vector_*
# rows of cli_cases.tsv.)
# usage: check_vector.sh OVL INK_AGREEMENT OUT_DIR
set -u
ovl=$1 agree=$2 out=$3 fail=0
rm -rf "$out" && mkdir -p "$out" || exit 1
bad() { echo "$*"; fail=1; }
squash() { tr -d '[:space:]' | sed 's/　//g'; }  # white space, the ideographic one too

"$ovl" build tests/tools/data/vector_fills.json -o "$out/fills.ovl" || bad "fills: cannot build the sheet"
for file in examples/*.ovl "$out/fills.ovl"; do
  n=$(basename "$file" .ovl); o=$out/$n
  if ! "$ovl" render "$file" -o "$o.png" --dpi 300 ||
     ! "$ovl" render "$file" -o "$o.pdf" --format pdf --dpi 300 2> "$o.err" ||
     ! "$ovl" render "$file" -o "$o.svg" --format svg --dpi 300 2>> "$o.err" ||
     ! "$ovl" dump "$file" > "$o.json"; then
    bad "$n: a page cannot be rendered"; continue
  fi
  # Every drawing of these overlays has a vector form: no warnings.
  [ -s "$o.err" ] && bad "$n: $(cat "$o.err")"
  pdftoppm -r 300 -aa no -aaVector no -png -singlefile "$o.pdf" "$o.pdf" || bad "$n: poppler cannot read the PDF"
  rsvg-convert -d 300 -p 300 "$o.svg" -o "$o.svg.png" || bad "$n: librsvg cannot read the SVG"
  printf '%s PDF: ' "$n"; "$agree" "$o.pdf.png" "$o.png" 99 || bad "$n: the PDF page differs from the raster page"
  printf '%s SVG: ' "$n"; "$agree" "$o.svg.png" "$o.png" 98 || bad "$n: the SVG page differs from the raster page"

  # Strings of the text elements (the dump has an element a line).
  sed -n 's/.*"kind":"text".*"text":"\([^"]*\)".*/\1/p' "$o.json" | grep '[^[:space:]]' > "$o.strings"
  [ ! -s "$o.strings" ] || pdffonts "$o.pdf" | awk 'NR > 2 && $1 ~ /^[A-Z][A-Z][A-Z][A-Z][A-Z][A-Z]\+/ && $(NF-4) $(NF-3) $(NF-2) == "yesyesyes" { found = 1 } END { exit !found }' ||
    bad "$n: the PDF does not embed a font subset with a Unicode map"
  pdftotext -raw -enc UTF-8 "$o.pdf" "$o.txt" || bad "$n: poppler cannot read the PDF's text"
  squash < "$o.txt" > "$o.flat"
  while IFS= read -r s; do
    grep -qF -- "$(printf %s "$s" | squash)" "$o.flat" || bad "$n: pdftotext lacks the text $s"
  done < "$o.strings"
  images=$(pdfimages -list "$o.pdf" | tail -n +3 | wc -l) pictures=$(grep -c '"kind":"\(image\|bitmap\)"' "$o.json")
  [ "$images" = "$pictures" ] || bad "$n: the PDF holds $images images, the overlay $pictures"
done
exit $fail
