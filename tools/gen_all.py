#!/usr/bin/env python3
"""Regenerates every generated resource of TORVA: pictures, icon, sounds and
music.  Python 3 standard library only; see tools/README.md.

    python3 tools/gen_all.py
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

for script in ("gen_pictures.py", "gen_icon.py", "gen_sounds.py", "gen_music.py"):
    print(f"== {script}")
    subprocess.run([sys.executable, os.path.join(HERE, script)], check=True)
