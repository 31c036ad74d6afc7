"""Prints where `cmake --install` puts the package for an install prefix, as this interpreter sees
it: the first line the folder, the second "searched" when the interpreter looks there by itself,
else "not searched".

The interpreter's own folder for the prefix wins: a site-packages or dist-packages folder on
sys.path under PREFIX/lib (/usr/lib/python3/dist-packages for /usr on Debian,
/usr/local/lib/python3.X/dist-packages for /usr/local), or the user's site-packages for the user
base (~/.local). Any other prefix gets the standard layout, PREFIX/lib/python3.X/site-packages.
"""

import os
import site
import sys
import sysconfig


def own_folder(prefix):
    if os.path.realpath(site.getuserbase()) == prefix:
        return site.getusersitepackages()
    for folder in sys.path:
        if not folder.endswith(("site-packages", "dist-packages")):
            continue
        relative = os.path.relpath(os.path.realpath(folder), prefix)
        if relative.startswith("lib" + os.sep):
            return folder
    return None


def main():
    prefix = os.path.realpath(sys.argv[1])
    folder = own_folder(prefix)
    if folder:
        print(folder)
        print("searched")
    else:
        print(sysconfig.get_path("purelib", "posix_prefix", vars={"base": prefix, "platbase": prefix}))
        print("not searched")


main()
