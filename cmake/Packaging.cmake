# A Debian package: cpack -G DEB in a tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quilmo-config)
set(CPACK_PACKAGE_VENDOR "墨岚拼音开发组")
set(CPACK_PACKAGE_CONTACT "墨岚拼音开发组 <support@quilmo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Settings tool of the 墨岚拼音 (quilmo) pinyin input method for IBus")
set(CPACK_PACKAGE_DESCRIPTION
    "Edits the preferences of the quilmo IBus engine, chooses its active\n\
word libraries and adds new ones.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws the window icon, an SVG, through libqt5svg5's plugin, which no
# binary links.
# qttranslations5-l10n: Qt's own dialogs and menus in the window's language.
# libibus is loaded after the window shows, so no binary links it either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5svg5, qttranslations5-l10n, libibus-1.0-5")
# Without a CJK font the whole interface shows boxes; without Qt's Wayland
# plugin a Wayland session shows it through Xwayland, and without
# KWindowSystem's a later start cannot bring the window forward there. The
# word libraries belong to the engine's own package.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, ibus, qtwayland5, kwayland-integration")
include(CPack)
