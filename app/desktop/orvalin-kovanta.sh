#!/bin/sh
# Starts the program in the user's own data folder, ~/Kovanta, made when
# missing, so that its AnaData/Kovanta.mdb is kept there and not in
# whatever folder the desktop happened to start it in.
set -e
data="${HOME:?}/Kovanta"
mkdir -p "$data"
cd "$data"
exec "$(dirname "$(readlink -f "$0")")/kovanta" "$@"
