#!/usr/bin/env bash
# Makes the files of the demo payload, beside the stand-in application: one TrueType font from
# Debian's DejaVu package, one JPEG picture, and 21 data files of an invoicing application,
# seven each of .QVF (invoices), .QVC (customers) and .LP (price lists), with names whose
# letter case varies and some with accented letters. Texts are Windows-1252, lines end in CR LF.
#   make-demo-data.sh OUTPUT-FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"

cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$out/DejaVuSansMono.TTF"
convert -size 320x200 gradient:'#F28C28-#8B1A1A' \
  -font /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf -pointsize 40 -fill white \
  -gravity center -annotate +0+0 'Morvidan' -quality 85 "$out/Logo.jpg"

# Writes UTF-8 text from standard input as Windows-1252 with CR LF line ends.
cp1252() { sed 's/$/\r/' | iconv -f UTF-8 -t CP1252 > "$1"; }

customers=("Boulangerie Lefèvre" "Garage Müller & Fils" "Crêperie de l'Étang" "Menuiserie Hénault"
           "Fleurs d'Été" "Cabinet Dubœuf" "Pâtisserie Noël")
invoiceFiles=("Factures2016.QVF" "factures2015.qvf" "Avoirs.Qvf" "Relances.QVF"
              "Fenêtres Dupré.QVF" "acomptes.qvf" "Échéancier.QVF")
customerFiles=("Clients.QVC" "clients-archives.qvc" "Prospects.Qvc" "Fournisseurs.QVC"
               "Crêperies.QVC" "contacts.qvc" "Sociétés.QVC")
priceFiles=("Tarifs.LP" "tarifs-2015.lp" "Remises.Lp" "Prestations.LP"
            "Matériaux.LP" "forfaits.lp" "Pièces détachées.LP")

file=0
for f in "${invoiceFiles[@]}"; do
  file=$((file + 1))
  {
    echo "# Morvidan © Sorbiane - factures"
    for i in 1 2 3; do
      n=$(( (file - 1) * 3 + i ))
      c=${customers[$(( (n - 1) % 7 ))]}
      printf 'FACTURE;F2016-%04d;%s;2016-08-%02d;%d,%02d €\n' "$n" "$c" $(( (n % 28) + 1 )) \
        $(( n * 137 % 2000 + 90 )) $(( n * 7 % 100 ))
    done
  } | cp1252 "$out/$f"
done
i=0
for f in "${customerFiles[@]}"; do
  i=$((i + 1))
  {
    echo "# Morvidan © Sorbiane - clients"
    for c in "${customers[@]}"; do
      printf 'CLIENT;C%03d;%s;%d rue de la République;750%02d Paris\n' "$i" "$c" "$i" "$i"
    done
  } | cp1252 "$out/$f"
done
i=0
for f in "${priceFiles[@]}"; do
  i=$((i + 1))
  {
    echo "# Morvidan © Sorbiane - tarifs"
    printf 'ARTICLE;A%03d;Main-d'"'"'œuvre horaire;45,00 €\n' "$i"
    printf 'ARTICLE;A%03d;Déplacement;25,00 €\n' $((i + 1))
    printf 'ARTICLE;A%03d;Pièce standard;12,50 €\n' $((i + 2))
  } | cp1252 "$out/$f"
done
