#!/bin/sh
# A student folder the instructor's account may not open is told, in Portuguese, and the
# export says so by its status (it used to be skipped in silence with status 0). Run as
# another user through setpriv: root opens every folder. Usage: unreadable_folder_test.sh PROGRAM
set -eu
program=$1
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir -p "$work/turma/ana" "$work/turma/bia"
head='<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname="licao" fieldtype="i4"/><FIELD attrname="data" fieldtype="dateTime"/><FIELD attrname="erros" fieldtype="i4"/><FIELD attrname="inicio" fieldtype="dateTime"/><FIELD attrname="fim" fieldtype="dateTime"/><FIELD attrname="tempo" fieldtype="dateTime"/></FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>'
printf '%s' "$head" > "$work/turma/ana/Exercicio.xml"
printf '%s' "$head" > "$work/turma/bia/Exercicio.xml"
chmod -R a+rX "$work/turma"
chmod 700 "$work/turma/bia"
mkdir "$work/saida" && chmod 777 "$work/saida"
status=0
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/saida" \
  "$program" --csv "$work/saida/turma.csv" "$work/turma" 2>"$work/saida/erros" || status=$?
cat "$work/saida/erros"
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; exit 1; }
grep -qx "tecladim-turma: $work/turma/bia: Sem permissão para abrir a pasta" "$work/saida/erros" ||
  { echo "the unreadable folder was not told"; exit 1; }
grep -q '^ana;' "$work/saida/turma.csv" && exit 1   # ana has no records: no line, but the file is written
[ -f "$work/saida/turma.csv" ] || { echo "the readable part of the class was not exported"; exit 1; }
echo "ok"
