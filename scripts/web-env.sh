# Sourced by the scripts of the browser build and its tests: what this
# toolchain needs on any Debian 12 machine, so that nobody has to set it.
# - emscripten's JavaScript tools load acorn and friends from Debian's
#   module folder, which a node that is not Debian's does not search.
# - node 18 and later fetch with their own fetch(), which emscripten 3.1.6's
#   output does not expect: it is turned off for every node run here.
# - Debian's python modules (websocket) belong to /usr/bin/python3, which
#   another python3 earlier on PATH would not see.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
web_node=(/usr/bin/node --no-experimental-fetch)
web_python=/usr/bin/python3
