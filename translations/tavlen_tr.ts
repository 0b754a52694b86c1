<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr_TR">
<context>
    <name>TAboutBox</name>
    <message>
        <source>About Tavlen</source>
        <translation>Tavlen Hakkında</translation>
    </message>
    <message>
        <source>© 2026 The Tavlen team</source>
        <translation>© 2026 Tavlen ekibi</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Tavlen</source>
        <translation>Tavlen</translation>
    </message>
    <message>
        <source>Source Data</source>
        <translation>Kaynak Veri</translation>
    </message>
    <message>
        <source>XML Schema</source>
        <translation>XML Şeması</translation>
    </message>
    <message>
        <source>-&gt;</source>
        <translation>-&gt;</translation>
    </message>
    <message>
        <source>&lt;-</source>
        <translation>&lt;-</translation>
    </message>
    <message>
        <source>Selected Fields</source>
        <translation>Seçilen Alanlar</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>↑</translation>
    </message>
    <message>
        <source>Dn</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>XML Path</source>
        <translation>XML Yolu</translation>
    </message>
    <message>
        <source>Field Name</source>
        <translation>Alan Adı</translation>
    </message>
    <message>
        <source>Data Type</source>
        <translation>Veri Türü</translation>
    </message>
    <message>
        <source>Destination Server</source>
        <translation>Hedef Sunucu</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Sunucu:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Hesap:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Parola:</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Bağlan</translation>
    </message>
    <message>
        <source>Destination Table</source>
        <translation>Hedef Tablo</translation>
    </message>
    <message>
        <source>Database:</source>
        <translation>Veritabanı:</translation>
    </message>
    <message>
        <source>Table:</source>
        <translation>Tablo:</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Aktar</translation>
    </message>
    <message>
        <source>Select XML Source</source>
        <translation>XML Kaynağını Seçin</translation>
    </message>
    <message>
        <source>XML Files (*.xml)</source>
        <translation>XML Dosyaları (*.xml)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tüm Dosyalar (*.*)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Bilgi</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Dosya</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Yardım</translation>
    </message>
    <message>
        <source>&amp;Open XML</source>
        <translation>XML &amp;Aç</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Çı&amp;kış</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Hakkında</translation>
    </message>
    <message>
        <source>Add Field</source>
        <translation>Alan Ekle</translation>
    </message>
    <message>
        <source>Remove Fields</source>
        <translation>Alanları Kaldır</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Yukarı Taşı</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Aşağı Taşı</translation>
    </message>
    <message>
        <source>Add the selected node as a field</source>
        <translation>Seçili düğümü alan olarak ekle</translation>
    </message>
    <message>
        <source>Remove the selected fields</source>
        <translation>Seçili alanları kaldır</translation>
    </message>
    <message>
        <source>Move the selected field up</source>
        <translation>Seçili alanı yukarı taşı</translation>
    </message>
    <message>
        <source>Move the selected field down</source>
        <translation>Seçili alanı aşağı taşı</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Son Açılanlar</translation>
    </message>
    <message>
        <source>Open &amp;Mapping…</source>
        <translation>&amp;Eşleme Aç…</translation>
    </message>
    <message>
        <source>&amp;Save Mapping…</source>
        <translation>Eşlemeyi Kay&amp;det…</translation>
    </message>
    <message>
        <source>Set as Row Element</source>
        <translation>Satır Öğesi Yap</translation>
    </message>
    <message>
        <source>Clear Row Element</source>
        <translation>Satır Öğesini Kaldır</translation>
    </message>
    <message>
        <source>Rows: %1 (%2)</source>
        <translation>Satırlar: %1 (%2)</translation>
    </message>
    <message>
        <source>Mapping Files (*.json)</source>
        <translation>Eşleme Dosyaları (*.json)</translation>
    </message>
    <message>
        <source>Open Mapping</source>
        <translation>Eşleme Aç</translation>
    </message>
    <message>
        <source>Save Mapping</source>
        <translation>Eşlemeyi Kaydet</translation>
    </message>
    <message>
        <source>&amp;Import Files…</source>
        <translation>Dosyaları Ak&amp;tar…</translation>
    </message>
    <message>
        <source>Import &amp;Folder…</source>
        <translation>K&amp;lasörü Aktar…</translation>
    </message>
    <message>
        <source>Import Files</source>
        <translation>Dosyaları Aktar</translation>
    </message>
    <message>
        <source>Import Folder</source>
        <translation>Klasörü Aktar</translation>
    </message>
    <message>
        <source>Importing file %1 of %2: %3</source>
        <translation>%2 dosyadan %1. dosya aktarılıyor: %3</translation>
    </message>
    <message>
        <source>Imported %1 of %2 files, %3 rows.</source>
        <translation>%2 dosyadan %1 tanesi aktarıldı, %3 satır.</translation>
    </message>
    <message>
        <source>The connection to the server was lost: the run stopped there.</source>
        <translation>Sunucuyla bağlantı koptu: aktarım orada durdu.</translation>
    </message>
    <message>
        <source>The run was cancelled: the files after it were not tried.</source>
        <translation>Aktarım iptal edildi: sonraki dosyalar denenmedi.</translation>
    </message>
    <message>
        <source>These files were not imported:</source>
        <translation>Şu dosyalar aktarılamadı:</translation>
    </message>
    <message>
        <source>Importing the XML document…</source>
        <translation>XML kaynağı aktarılıyor…</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Field Properties</source>
        <translation>Alan Özellikleri</translation>
    </message>
    <message>
        <source>Field Name:</source>
        <translation>Alan Adı:</translation>
    </message>
    <message>
        <source>Data Type:</source>
        <translation>Veri Türü:</translation>
    </message>
    <message>
        <source>Field Size:</source>
        <translation>Boyut:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Data Type</source>
        <translation>Veri Türü</translation>
    </message>
</context>
<context>
    <name>StructureTree</name>
    <message>
        <source>Attribute</source>
        <translation>Öznitelik</translation>
    </message>
    <message>
        <source>Element</source>
        <translation>Öğe</translation>
    </message>
    <message>
        <source>Text element</source>
        <translation>Metin öğesi</translation>
    </message>
    <message>
        <source>%1, row element</source>
        <translation>%1, satır öğesi</translation>
    </message>
</context>
<context>
    <name>ReportBox</name>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopyala</translation>
    </message>
</context>
<context>
    <name>ImportProgressDialog</name>
    <message>
        <source>Import</source>
        <translation>Aktarım</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Cancelling: rolling back…</source>
        <translation>İptal ediliyor: değişiklikler geri alınıyor…</translation>
    </message>
</context>
</TS>
