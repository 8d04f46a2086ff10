#!/bin/sh
# The menu entry and the software-centre metadata as their reference validators see them.
# Arguments: the .desktop file, the metainfo file.
set -eu
desktop-file-validate "$1"
appstreamcli validate --no-net "$2"
