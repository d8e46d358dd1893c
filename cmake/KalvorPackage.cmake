# The Debian package kalvor_<version>_amd64.deb (scripts/package.sh builds it). Library dependencies come
# from dpkg-shlibdeps; Qt's plugins are loaded at run time, so the ones the programs need are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvor)
set(CPACK_PACKAGE_VENDOR "Kalvor")
set(CPACK_PACKAGE_CONTACT "Kalvor <support@kalvor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Декларация о розничной продаже алкогольной продукции")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Kalvor ведет ежемесячную декларацию о розничной продаже алкогольной продукции: накладные поставщиков, "
  "внутренние перемещения, продажи и остатки. Оператор уполномоченного органа загружает и проверяет в "
  "ней сданные отчеты. Пакет содержит программу kalvor и командную строку kalvor-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql")
include(CPack)
