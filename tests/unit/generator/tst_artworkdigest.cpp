#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportfilenames.h"
#include "jsonvariant.h"
#include "samplemaps.h"
#include "svgwriter.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

// Pins the artwork: SHA-256 of the decoded pixels of every PNG layer file,
// and of the bytes of BIN, SVG and generate output, for every sample map and
// a set of variants at three export scales. Pixel hashes are taken over rows
// of red, green, blue, alpha bytes, the same as scripts/artwork_digest.py
// prints, so the sample maps' values can be checked against that script's
// own PNG decoder.
namespace {

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// "WxHx4 sha256" of the decoded pixels, or the reason there are none.
QString pixelDigest(const QString &path)
{
    const QImage decoded(path);
    if (decoded.isNull())
        return QStringLiteral("unreadable ") + path;
    const QImage rgba = decoded.convertToFormat(QImage::Format_RGBA8888);
    QByteArray bytes;
    bytes.reserve(rgba.width() * rgba.height() * 4);
    for (int y = 0; y < rgba.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(rgba.constScanLine(y)), rgba.width() * 4);
    return QStringLiteral("%1x%2x4 %3").arg(rgba.width()).arg(rgba.height()).arg(sha256(bytes));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString asInitializer(const QStringList &values)
{
    return QStringLiteral("{\"") + values.join(QStringLiteral("\",\n \"")) + QStringLiteral("\"}");
}

// A variant of the showcase map on a small canvas, so that many fit in the run.
const char kSmall[] = R"("width": 300, "height": 212)";

QByteArray smallVariant(const char *settings)
{
    return QByteArray("{") + kSmall + (settings[0] ? ", " : "") + settings + "}";
}

} // namespace

class TestArtworkDigest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pngLayersKeepTheirPixels_data();
    void pngLayersKeepTheirPixels();
    void binKeepsItsBytes_data();
    void binKeepsItsBytes();
    void showcaseGenerationAndSvgKeepTheirBytes();
};

void TestArtworkDigest::pngLayersKeepTheirPixels_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QByteArray>("overrides");
    QTest::addColumn<float>("scalePercent");
    // Composite, wires, dots, components, signals, dot signals.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("default map at 37 %, every layer")
            << QStringLiteral("render_default_map.json") << QByteArray() << 37.0f
            << QStringList {"222x222x4 012ebfe7c48b49683ae9fc7489b7db8b3b2a0aca4bbbf227764a0f8b1cea2344",
                            "222x222x4 a2dd2ab9d8cc5717ac1587aa73cfe1e5f48c975381c71fd47a4ab3703a33d72a",
                            "222x222x4 05cb69805f44cd291d596abfc9fc71fac722b1ff9acc60e1dacaeabeacf2c5c9",
                            "222x222x4 9cdd19d906ad7e689dacd10a65d8171e8bf8c8f18ccc1d40f7195b57648d4eed",
                            "222x222x4 2b2b2bd49a3c592d35bf6df728cbf54828f39657e119c65dfaa336e829995ffa",
                            "222x222x4 9cdd19d906ad7e689dacd10a65d8171e8bf8c8f18ccc1d40f7195b57648d4eed"};
    QTest::newRow("default map at 100 %, every layer")
            << QStringLiteral("render_default_map.json") << QByteArray() << 100.0f
            << QStringList {"600x600x4 e6e3cdb3a209002b5409e863defb570f489ffbffbc310c879dd7e7dcc34c8b99",
                            "600x600x4 b12d783554cd3fe94718161c644ebd62a2034820aca7c1e66fcc84a4d5a5a00a",
                            "600x600x4 3bc1cf755976598c4018ecc98664f1694da764344992445c2b7df65f66a9430d",
                            "600x600x4 cc32c281f61851fc8f5be8711229624c1f3be71c1c61eefb5eb4363442d520ef",
                            "600x600x4 d4015c3b7dd48da528a31b504ed6d03402ed2092d3e964ad54009913a7f1e78e",
                            "600x600x4 cc32c281f61851fc8f5be8711229624c1f3be71c1c61eefb5eb4363442d520ef"};
    QTest::newRow("default map at 250 %, every layer")
            << QStringLiteral("render_default_map.json") << QByteArray() << 250.0f
            << QStringList {"1500x1500x4 a435124270ad76ee3808864e216d0c6da69fa663e719ad6623dee68ce6a75a07",
                            "1500x1500x4 d9a28f00af46cb01553e632606e507325ca71f29a922f1b9a97ca2b01cfd5c9c",
                            "1500x1500x4 b2b3822b138e44b280ae1033baead7dbe7b445e73840d0f5b6dad43518a6cf16",
                            "1500x1500x4 a777b2b3226440644f1d2725ca5bdeb32d2ac6f1707886e974213b901a18f7d7",
                            "1500x1500x4 4147dbf7024d2ded841321f0e7f46cdfb2e3463095cdc1c01852d137db778df4",
                            "1500x1500x4 a777b2b3226440644f1d2725ca5bdeb32d2ac6f1707886e974213b901a18f7d7"};
    QTest::newRow("file-mask map at 37 %, every layer")
            << QStringLiteral("render_filemask_map.json") << QByteArray() << 37.0f
            << QStringList {"185x133x4 46b4da7bbfd0cd383e1e19e15e2636468c887481e4e6296df2c6fdc2f74a9ecc",
                            "185x133x4 9796be79fc05eaf99b8381dddf8346af700509db47e892d81fa645978209d0a9",
                            "185x133x4 4d6fdcb4197c04997aeb82e4c7a4cbe190efd8768d1dba2972a3aef397cf4f07",
                            "185x133x4 b682ac29afad688b33ac62175191231ff157daba27a99a9e8e200c00bdfea59d",
                            "185x133x4 6a3b05bf8ce42cdb9e05ba7840c15a74c37e9cb37bb3752f2f11766ad97c5f3a",
                            "185x133x4 b2d5bce711af852ecdcc0e1ef1b235a0126108eb6dd35ad8c9c204b848da35f0"};
    QTest::newRow("file-mask map at 100 %, every layer")
            << QStringLiteral("render_filemask_map.json") << QByteArray() << 100.0f
            << QStringList {"500x360x4 33259eed9f86384902f6062a5ee4224f7e700e4d8239fdb4fbcb73282982f5f0",
                            "500x360x4 41c29ac921693184523326c893d837b8ab8fb66941fa40e9c8018bb22d1370c3",
                            "500x360x4 d35a9554110a0cee6f2ac80f6593cb45c2cd9b89caedd50d0559c4964651ed8a",
                            "500x360x4 ee2540a2429eb0a7ceebdc2025481fe353bbad97e116c3c84331550901938edc",
                            "500x360x4 8fc9e4600233074ba0e1e4fce44ca9b46d363e994ca7758fdff9952ed27cc747",
                            "500x360x4 472e492544a4e46c3579b41b7f2f1da56c78f92f8f761a1ba133ca3aea63f4c1"};
    QTest::newRow("file-mask map at 250 %, every layer")
            << QStringLiteral("render_filemask_map.json") << QByteArray() << 250.0f
            << QStringList {"1250x900x4 637e1e24998ed9201e4943b9ee3d076eedf48f1ab0bf1b6555a09bc481712737",
                            "1250x900x4 23cd16c0c84490bd25a1dfaee8161252726aff82ef3a863f6cca9bda070f9cda",
                            "1250x900x4 ad59d1339630e20515ce6902642b59bfdc475bcbc23192d857609cca33453634",
                            "1250x900x4 83175d41b315bbc1388e57752569f6036bb5d2a594535d97d06abb224a90e81d",
                            "1250x900x4 e07a6b570dfafbaa3276b4657851b2ab45442cc744acdf1c1b215ce3b6c57b83",
                            "1250x900x4 0c6166495b1c9c822b271b075a2404a469be468d452caf315247aea59211f6ec"};
    QTest::newRow("mixed map (text mask, modifier, adjustment, chips) at 37 %, every layer")
            << QStringLiteral("render_mixed_map.json") << QByteArray() << 37.0f
            << QStringList {"237x148x4 571e73679efb92a2b804d1fee4d8da7e0cf97934f9d0e19a6127af90230171ca",
                            "237x148x4 cb3db75e398f7208f4c69538fed765cc71c8674c410c92e6bd0204581aa62ff0",
                            "237x148x4 e90fdb70b924c9c6b0697d8d003e3ac5bdaab7ccbe896a2e99f668d55df1e270",
                            "237x148x4 028bab1564c96422265fbc7d31abe26c6c4ee336ad76a9a37a070a2f7df9b8ce",
                            "237x148x4 a3659e8b57ee3707fa99d09818587f6f876d178cbc7996e9c32d943d82ee1700",
                            "237x148x4 7f43f82db8980413a60d26b5c87fd8efe100f2242e11ae3604bd98467abfc14c"};
    QTest::newRow("mixed map (text mask, modifier, adjustment, chips) at 100 %, every layer")
            << QStringLiteral("render_mixed_map.json") << QByteArray() << 100.0f
            << QStringList {"640x400x4 b88d57338c7aafa74059be051eb5c3e4fefe5958ffe694b2951f8c21712e74a4",
                            "640x400x4 89d9b78f7c36f65e03bd9756601fa97322cf349d92b33cbe723cea026fb0400b",
                            "640x400x4 18842889aaabcd407d041ac6053d4e49b70b2b18c323bcf4d2957740048b93c6",
                            "640x400x4 a359aae06fb7841129302975f858eff440ff887cc2b60b353d69bfd3803dae66",
                            "640x400x4 110895979a64abcae7c11ee66a845bb07e176ece0ff5eecd10d4b96aa6abc01c",
                            "640x400x4 e0efb896d0c8833ea388679bea627b447aecff2663286062b435b01740f25bfd"};
    QTest::newRow("mixed map (text mask, modifier, adjustment, chips) at 250 %, every layer")
            << QStringLiteral("render_mixed_map.json") << QByteArray() << 250.0f
            << QStringList {"1600x1000x4 19273cd2acf85d65e2c0e0f4aa2d27db54503f7a23a3b8151c678043e7550c41",
                            "1600x1000x4 8a6ace74e06a87139430ca4605062da0d4b850bb49e2c54cc10531e3585e904a",
                            "1600x1000x4 ffa0420c2f7c5228f4c6b29a3649204d5291e81c439054d5bfa78508c9e63f29",
                            "1600x1000x4 f23f6d79c8077451cd7592c22dcbc633707fe445cc8b322d6787159f0876a6a8",
                            "1600x1000x4 1b8957334790ba2b4d333257e0343dc4b2c71f9304db54cc719e2f4999158086",
                            "1600x1000x4 f6a8fc7fea9efb7881516f01285c1a9e03a6905ebafd39a0f20063653fee8469"};
    QTest::newRow("showcase map (shadow, glow, vignette, round corners, chip) at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << QByteArray() << 37.0f
            << QStringList {"222x222x4 a84b380e0ccfddd4a8e7128fe7047a2c8989512d086962ac63b69c4ef45395d8",
                            "222x222x4 131e0ca232ae8bd4ca6a6fefb3c5da033f2cab85268a3c59d1310b0b147bb095",
                            "222x222x4 9f5ea746e0ccfb3d511a9beb10f925b55c6e1a79ffbd11cc3b0f1d8252dd96af",
                            "222x222x4 45ad4af07b937de1e5c7bcf7f41ad60a43137a3127988463bf339764cc7e1eb4",
                            "222x222x4 bbf6bdfcd324a3247e06d86deee057aac90dcd5755c804b144a2a96b3ad3effe",
                            "222x222x4 8366906d82a78b1e345d52a0c6cb5391a34ffca131bcf992986b01f63b5a8444"};
    QTest::newRow("showcase map (shadow, glow, vignette, round corners, chip) at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << QByteArray() << 100.0f
            << QStringList {"600x600x4 5e21ae4dfa98393b0d951024b3f5e7bb4e6ee3f41f745f2dc8f88c872f953b92",
                            "600x600x4 b3357106b174f485ebdd698cc7076f81940f78d32009b67d31f16f81f8d218eb",
                            "600x600x4 2c197fb0756b8cf20256f844e4212608f8d3762429c7ff945521bd1390d8a13f",
                            "600x600x4 78e7972c07709aedd6304348c0b233646f0712a7fb1e49de466ad7ec7df00f75",
                            "600x600x4 3ed74371fe46afabe0354cce1c80fca112619ec85a533053c2efe1d73625b2ad",
                            "600x600x4 69bbd1eb6a959aa6489175b7ecb10247192a6a848e258fdf1ab47e8b2c41b11f"};
    QTest::newRow("showcase map (shadow, glow, vignette, round corners, chip) at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << QByteArray() << 250.0f
            << QStringList {"1500x1500x4 74a80d73508f730d6aa599567f58faa2ce43108bdffe039a0442b73a4197837e",
                            "1500x1500x4 68f0dd05434b4ac735e8c0b49d17a1d18908c87dd382148ed3ed19d071da4275",
                            "1500x1500x4 f383ef4c185fcb3e6b26a6754725b402c98b5f8ac4df5d28a6a2077b675f8753",
                            "1500x1500x4 61c20c9b374dfbcf73a72f24518b451e32261998e0af9e14981c6512a85ad8b2",
                            "1500x1500x4 dc5718892df194ad828defeb61163612fb8daf2294b6e064ab80931811202148",
                            "1500x1500x4 697cd8c68ec31c5f2d6c620dd756bd2f0031ce20bcac8f289262089c48655124"};
    QTest::newRow("showcase on a small canvas at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant("") << 37.0f
            << QStringList {"111x78x4 743f57b4fe5214ee4a70b9e1db31a5b85a360d93c41e9ef1d90f957343d08455",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("showcase on a small canvas at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant("") << 100.0f
            << QStringList {"300x212x4 40da3a6d0eb6acff243179cda9d1111ac8838b322a821b3556041cb33d7ebf97",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("showcase on a small canvas at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant("") << 250.0f
            << QStringList {"750x530x4 d94e43574555bba85777115aae5e61db9b5bb123cfeeb1d3958ed1a10eb08717",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("no shadow and no vignette at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 0, "vignetting": 0)")
            << 37.0f
            << QStringList {"111x78x4 fd69fd9bfb939498dcab9ee6a3cda877ad54ba420119f0e9099e6704254722d6",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("no shadow and no vignette at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 0, "vignetting": 0)")
            << 100.0f
            << QStringList {"300x212x4 99a60dfc5fe00c02fc527569f0837e5be738ea3b9fcd36678eb18b3b1aa68776",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("no shadow and no vignette at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 0, "vignetting": 0)")
            << 250.0f
            << QStringList {"750x530x4 6e51b35de6d4bab0b45674a8360e9586c5bef495d48f6c7d6c4b60d833ba606b",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("strongest shadow at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 1.0)") << 37.0f
            << QStringList {"111x78x4 bc3403ad4e8cb9e5b393bbe5c7819f4e7c4323ebfebe2bbe4a51f3c9fb1946f5",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("strongest shadow at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 1.0)") << 100.0f
            << QStringList {"300x212x4 5d340447bb603699b49b5c0b19736d0c7b4a620a05a0e3ad15778b752091ffe8",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("strongest shadow at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_shadow": 1.0)") << 250.0f
            << QStringList {"750x530x4 58d46e3cec690ab4a492553139a9a861db4b0265bfa2d8eee925ef4529a6c67c",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("sharp signals without glow at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0)") << 37.0f
            << QStringList {"111x78x4 0e6601d7f78183b2fb83ddf8fe1a6f2e5d19aacb9fe2713a1e8ee59c6cee8a21",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("sharp signals without glow at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0)") << 100.0f
            << QStringList {"300x212x4 06b3fb065908cc94e4208879d0626d330074af5518bcd97639374e5148678a6e",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("sharp signals without glow at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0)") << 250.0f
            << QStringList {"750x530x4 c8ef5dbaf762d4921487ae471da0d27a69eac576b0572a693f59618800cb3b21",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("glow of radius one at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0.1)") << 37.0f
            << QStringList {"111x78x4 0e6601d7f78183b2fb83ddf8fe1a6f2e5d19aacb9fe2713a1e8ee59c6cee8a21",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("glow of radius one at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0.1)") << 100.0f
            << QStringList {"300x212x4 c47240138b64ddb681bd1cc88e032a41249e43143c9a4f61329acf8a54e9f0c3",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("glow of radius one at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 0.1)") << 250.0f
            << QStringList {"750x530x4 dd7d9d643a9df0da5427d36402e66a9e2eb055b758889d03ff66335bc70969e1",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("wide glow at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 2.5)") << 37.0f
            << QStringList {"111x78x4 aede8a26694ae706a6b7b9c4d4c92d455db25a0a7f3924a7502f126df4c37bea",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("wide glow at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 2.5)") << 100.0f
            << QStringList {"300x212x4 e90ca9c02bdba6e302de62d9ed6701f292907e1d46f49e4a40c9222e77cf5195",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("wide glow at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("signal_glowing": 2.5)") << 250.0f
            << QStringList {"750x530x4 420d5437a1f68178c71ec422acbe91717890ac5dd878af4e95feb80b14773a41",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("full vignette at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("vignetting": 1.0)") << 37.0f
            << QStringList {"111x78x4 c315a2d4cef93f86562f0eebd325c7b6305b12f1c95464e15d94257d850519d8",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("full vignette at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("vignetting": 1.0)") << 100.0f
            << QStringList {"300x212x4 e0d62187efa597d05f1ec6daec42c203e94e3d77c5c509b97a8fbc9b0eaa34c1",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("full vignette at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("vignetting": 1.0)") << 250.0f
            << QStringList {"750x530x4 8cf1dad295858f9dd39b0c100f359f427b5faa4d28959a21937cc9235fd75c59",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("straight corners at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0)") << 37.0f
            << QStringList {"111x78x4 313285affc197b1382741461a039dc8e8be09a2c1ccc77b4d22c54f171378485",
                            "111x78x4 71765ee59badacea4c620176b97f0722621cab1794aeb02f25af91cb6ca498bd",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 243484d57a9addea3e4081412577f9e955d06d8dd5e7bef177f6ea1ce656ea36",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("straight corners at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0)") << 100.0f
            << QStringList {"300x212x4 bad62eaad7f20c51c7359715c61e52a6383c10fc3526d6dea70680f392ce24fc",
                            "300x212x4 a15eee1df109a836a475af0b636205103bda4121149034833080f31d9eff76a2",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 2f28894946148d0675358c02e8a6bdd5e3b4d5717d7d06cc953de5aaebd4d8fb",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("straight corners at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0)") << 250.0f
            << QStringList {"750x530x4 df972e2a6ad651e3fab5811b14ac92fb682832517b10008275ee13e3683e7b7d",
                            "750x530x4 496523fbf6d11bd29086e9fe4b324cb1af148425f24681f8816bf7339960b358",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 efcb0e39ddd9b02ec9842baff238d490c9d8fd214b26a38d280846784520f41c",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("half-rounded corners at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0.5)") << 37.0f
            << QStringList {"111x78x4 2ca403f3337a40d82ceea336eb88cc2295857fa10329d9c665c3a0d504f1493a",
                            "111x78x4 b92106b3a6a7a33a0b4c53c84b32fc5abf418942ce13790ffd868afb930fb28d",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 454f5c7d9f9d646c16334099cbe760ca1295bccd0f6c829bcb050f2a7970f74f",
                            "111x78x4 159e40b0380710b21579c61736fb0ee0a9450391c0db55ab91ec98e15b5cf96f"};
    QTest::newRow("half-rounded corners at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0.5)") << 100.0f
            << QStringList {"300x212x4 b4166ef9bd0cabcf6e706cc0e419a8aca0924c86438dc77a03d76bf16638d275",
                            "300x212x4 c29a136ffc1d80951424d38303a061dee497a8ad19c7ed92bd1300f7da2d1348",
                            "300x212x4 ef4faea9fef0aa6477fd9d36360cb37500e090770eb3e30b10a877576993d5b2",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 d67fa72a42cc2482008d63f41ae60e9fb0f3b0540ff9e24ce80084a192abac49",
                            "300x212x4 f115a2a5e06d193f4ad052aceb5ad2619bf01083f0ca32b4338c91af17a9addc"};
    QTest::newRow("half-rounded corners at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("wire_roundness": 0.5)") << 250.0f
            << QStringList {"750x530x4 f20d52466d72c2938e02658bf7a96ec7c9be7a6979eeef2eb98e0673d58d178c",
                            "750x530x4 737215603be86ff99a5127682f20803f403b6e66b268a044ee8e0b7b2c034c63",
                            "750x530x4 da3015664d1c48073b6c87d4d998207de1eeaada5d5da4e8d488ca2dfa288618",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 9f7853635c5bce93553cf18433b3dacaf6c509b863e2903519e4963ab71a4943",
                            "750x530x4 823113518a59b9d834e68e6fd0d427b5a05041b2c2592eb372a5f497e95edd58"};
    QTest::newRow("no dots at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("dot_size": 0)") << 37.0f
            << QStringList {"111x78x4 edec54cc01d64932d3cbcccb1566bbeecf30e0f942f2e9f79c0dd9c44aadf5d1",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 660ea755f2d8a8b1ce266a15a7757e93aad422ed2bd760a51cd1f188915fc9e5",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7"};
    QTest::newRow("no dots at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("dot_size": 0)") << 100.0f
            << QStringList {"300x212x4 d4bb49229d501d93fa8ec2d0d2b54ca37679d79bde385829c06024199acf176a",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 2ceac2908d8daec77b07adefb0577c64bafc7d8a4d6359f08eadfc56c6cb994c",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c"};
    QTest::newRow("no dots at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("dot_size": 0)") << 250.0f
            << QStringList {"750x530x4 a49f64fb63eef5ef2fd64cf42b3f619c0a737734f998dc6402762768cc339f9f",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 76f2254951c6439d2fda2000a9b609928d0c87e7f9207844f2aa943b460f9162",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df"};
    QTest::newRow("solid pads and every dot glowing at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("hole_size": 0, "glowing_dots_amount": 1)")
            << 37.0f
            << QStringList {"111x78x4 2582f8de515003edb675933cef838a474233e25c0a82939503eafc7933076110",
                            "111x78x4 785f589b928fe174cb3fbcd0622df919fe6b75ca23e33c8efe9893ef8f237a5e",
                            "111x78x4 b3a65acf5433eada3238f8906d2e7b8f89530656b2bc64868a3b4c2d4cbd9bf3",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3c2d8e3e49268e00fcadd0ab507f6af9f3a0da3c2b6ab684d8c462f308c6b1fa",
                            "111x78x4 8ec5610488969496c5538911715796720c8a005b6551c9768dd881ed53a3bd9b"};
    QTest::newRow("solid pads and every dot glowing at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("hole_size": 0, "glowing_dots_amount": 1)")
            << 100.0f
            << QStringList {"300x212x4 98103df73df7754436ab2527a6c90be8606d344e541eb229438af66fd417873f",
                            "300x212x4 7484607278f3bbc4104e05adf34043887473e76cb4eea91c1f4d78de35363ef1",
                            "300x212x4 5a55faadfe6d053c0d0c269a6e1f2255be48e834bb436c431d193ade94cdef4b",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 4dec996952ab18f5939f9d0bbc41085aa3f9f16f5f44bf9f2544af6d318a9b8e",
                            "300x212x4 051c6e25b40b74f148b75f0ec903a6d5c0f9ad097c7b732a1b3d80b4a3de3c9d"};
    QTest::newRow("solid pads and every dot glowing at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("hole_size": 0, "glowing_dots_amount": 1)")
            << 250.0f
            << QStringList {"750x530x4 4d9cb665f70c8c73745b952bdcad7205405cbbaa2bbab87feff865eccefa7343",
                            "750x530x4 e4242490c48d6934fd5879193a57762bbca3dd95537296bf491cce369baf7f8d",
                            "750x530x4 cb18747e745ba965fa4f9033c43210146296e0a629fda0ee1e986181b8e3819a",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 09d2a2b994ab4c705464f0b33bde28be6940ac08306edda2b589f2d4225c3940",
                            "750x530x4 16248a2309e19c1fa5a303cfc92ca131151e79b0a12363db5309cdb728701f4c"};
    QTest::newRow("three chips with pins on all sides at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("chips": [{"x": 0.2, "y": 0.3, "w": 4, "h": 3, "connections": 1, "render": true}, {"x": 0.7, "y": 0.6, "w": 5, "h": 4, "connections": 2, "render": true}, {"x": 0.5, "y": 0.8, "w": 3, "h": 2, "connections": 3, "render": false}])")
            << 37.0f
            << QStringList {"111x78x4 4e02ecfb4e266a9a6b206ab29e417d66b4a3461cdbab7750405b1fdc666353f9",
                            "111x78x4 406dcfdc134e8463b7c84c47b859680e64bcb1527ccfa7ce54b78d11d41f431d",
                            "111x78x4 ab061b8989d7d854b2a5bb4b4ec1b4a5e4e44db1d468499fbc0923d0cd408aea",
                            "111x78x4 38ce33019429fb567d4adf2407cd1f1f4aefce4170eb284cd5179e501185332f",
                            "111x78x4 70e8149bf94b057a5566483eb7bccfcb2320bb445e4c4978b6b6fd3a3cca10fb",
                            "111x78x4 d28bc15d79bb753250073fca893fa91ad3fe180e2e99585e69355b4b8bfe1a83"};
    QTest::newRow("three chips with pins on all sides at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("chips": [{"x": 0.2, "y": 0.3, "w": 4, "h": 3, "connections": 1, "render": true}, {"x": 0.7, "y": 0.6, "w": 5, "h": 4, "connections": 2, "render": true}, {"x": 0.5, "y": 0.8, "w": 3, "h": 2, "connections": 3, "render": false}])")
            << 100.0f
            << QStringList {"300x212x4 adb950b6145fe903089f3578d7ef6a42d3be557cf8c311931e76d8dff627e6a3",
                            "300x212x4 0a29979c3344a2545aa2a57efb6be5e4792af9ffb8728d100565a9f56caf8556",
                            "300x212x4 54d6acf72bc1aaddf3843ebb0cb5f451cb78b772a3ffee90a5d956a99d68db7c",
                            "300x212x4 75233fe0c9479cbd2ec6f01dc8a3ec42cc11968c79e6ceef35f516989f86d4f2",
                            "300x212x4 f174f8afc4be028b8794b6c8bd4db9ad8987819c99368e78c4dded33dfac6f40",
                            "300x212x4 69ae1fec549f1a5bbea6aff65c48312360370629f167bd53cea054fdd31b5145"};
    QTest::newRow("three chips with pins on all sides at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("chips": [{"x": 0.2, "y": 0.3, "w": 4, "h": 3, "connections": 1, "render": true}, {"x": 0.7, "y": 0.6, "w": 5, "h": 4, "connections": 2, "render": true}, {"x": 0.5, "y": 0.8, "w": 3, "h": 2, "connections": 3, "render": false}])")
            << 250.0f
            << QStringList {"750x530x4 da75355e4285c387c3987e20b3ba1b1814829143b906494d1cb08b20af143552",
                            "750x530x4 10e13dc02d87e4de19c2077adf3765139bbcaad063d1e788f77395809d1ce82f",
                            "750x530x4 7a7dba24a6c3857ba43d0595ded01d77a8040dbf24174055348d6ee5d88a1cb9",
                            "750x530x4 9a58492212165ba8e8f436dc61a43e4dcd6258a83c5dda54e05597cb916ecec7",
                            "750x530x4 80c9b9a2a59494f0ab057dc51f24c41e3b0b4287d4b585ae2dc25f05034b9cf5",
                            "750x530x4 9a94b038e91ddb36717c91482b4075dd7f40877b89d6cd9f9d9898be67693a21"};
    QTest::newRow("line and round modifiers at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("modificators": [{"type": 0, "x1": 0.1, "y1": 0.2, "x2": 0.9, "y2": 0.8, "intensity": 2.0, "spread": 0.2, "direction": 1}, {"type": 1, "x1": 0.6, "y1": 0.4, "x2": 0.8, "y2": 0.6, "intensity": 1.5, "spread": 0.3, "direction": 3}])")
            << 37.0f
            << QStringList {"111x78x4 87724acc3d885e24402368232bcb69c72f4bc5fb0321bb21a7d6e88edb2e3c70",
                            "111x78x4 d4555a219265486d2c5b76707195f8385b953f214d4e4ec7f87c164c89dbf1e7",
                            "111x78x4 c97efb474f55c7c0d5c5d8c2ff45c9f09b46efd8e6d9f789878c595f38269210",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3734c716fcbdf27e1bfa9d87abf2cc4a4340ae9918dfa9a01893a17e84a7bdd8",
                            "111x78x4 f19a30cfb6985101f013c98103918d3bb1bf87dde25fdfbe899ada19b993c85c"};
    QTest::newRow("line and round modifiers at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("modificators": [{"type": 0, "x1": 0.1, "y1": 0.2, "x2": 0.9, "y2": 0.8, "intensity": 2.0, "spread": 0.2, "direction": 1}, {"type": 1, "x1": 0.6, "y1": 0.4, "x2": 0.8, "y2": 0.6, "intensity": 1.5, "spread": 0.3, "direction": 3}])")
            << 100.0f
            << QStringList {"300x212x4 aed49b644172365cc4428fb09b871c6ae3a3cd147acce6ae897a34b9f95c0df2",
                            "300x212x4 29a2c4b4979a49e32787863feaf740ad6464f9d812697611fe0640692c990ff7",
                            "300x212x4 061d3b49045731a662a025ccc62c91bcccecf9df142a36a4eed6db6145273c36",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 d6bddc20ef076ab5391fd78541bb20b4d48046150355b4e263ece7c7b4bd7737",
                            "300x212x4 5a8ef70e1c99e77e40d51a19d524111038c4de6b94e1c811b14742646d4468e9"};
    QTest::newRow("line and round modifiers at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("modificators": [{"type": 0, "x1": 0.1, "y1": 0.2, "x2": 0.9, "y2": 0.8, "intensity": 2.0, "spread": 0.2, "direction": 1}, {"type": 1, "x1": 0.6, "y1": 0.4, "x2": 0.8, "y2": 0.6, "intensity": 1.5, "spread": 0.3, "direction": 3}])")
            << 250.0f
            << QStringList {"750x530x4 8188d6c18727df3b1e4365873097b78dc002f0433cf7ee5a2ce33c79ec938e20",
                            "750x530x4 0d562548181ac1472bc808859080303ca0a5330fbc66723437e010f1a91ab0fe",
                            "750x530x4 239106eaa3c04c032fe2d0e86fc97db673901b10ead6a2975ba7d72c13907f42",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 6a1fc32251eb68dd71fb691fbf2890d319afd0b723e16ae75ac1b359943cac88",
                            "750x530x4 7cb0968474f1a9e7198c03ec13f8d792b20d0180fd13ab5bf38c33f7e33982d7"};
    QTest::newRow("density and signal adjustments at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("adjustments": [{"x": 0.25, "y": 0.5, "radius": 0.3, "hardness": 0.5, "masking": 1.0, "density": 0.2, "signal_amount": 2.0}])")
            << 37.0f
            << QStringList {"111x78x4 af751dcc24c17255aea3fc2aef1e8839931248d699495dab9149527d0b98874b",
                            "111x78x4 3aba8eb6cc77c235ba331a268485f9ebbc5414f793eaae2e3eac67df6c7de706",
                            "111x78x4 b4c3d8b0dd59f0b62919bb0c16bb426818222fb6a58b8316df903e99aae976f6",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 de6fbaddcab6cd1e5c2c0d5880e43baf8013544773a24dd4ed1bbeffa3bc71d9",
                            "111x78x4 30aa26f9bc5de742e2048017b390c0bcd7eab79eeff32dea4c8e92b59a156055"};
    QTest::newRow("density and signal adjustments at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("adjustments": [{"x": 0.25, "y": 0.5, "radius": 0.3, "hardness": 0.5, "masking": 1.0, "density": 0.2, "signal_amount": 2.0}])")
            << 100.0f
            << QStringList {"300x212x4 315a7f6f287b5b7216fa062a5f0f0aeed42ceef663c70db1caab4ece57a126b0",
                            "300x212x4 c02c0567732a8edd48d822279197e9e7d838e1f4020e63260573c459a114ac8e",
                            "300x212x4 70e1e62ee36baac4f69ee546ddaa1353b166c30d055f0a059f59acd54d4dc631",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 ad1bf8f9c4e4bd724d893a66ad3ac13fd36bfac0a782cf8bacd4c24af5e99e80",
                            "300x212x4 f0e6381b1a8dd144dd951a074dfe1a630e7490c4bf8405b1e9699c372c58090f"};
    QTest::newRow("density and signal adjustments at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("adjustments": [{"x": 0.25, "y": 0.5, "radius": 0.3, "hardness": 0.5, "masking": 1.0, "density": 0.2, "signal_amount": 2.0}])")
            << 250.0f
            << QStringList {"750x530x4 d2b8d7c99f301d3e510215ae3bb7fe8cd7eb5c7aa9d07b4a0ee6bff2639852bc",
                            "750x530x4 d9a4c0169bfd473ea86e3b3d57eda7ad729efe4ce9a3c46e05500f38d242932d",
                            "750x530x4 89474d527e4ad3ef793aab303188baca002f42365f2d959312120e147c18bc58",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 f8d7dc85dafb3faf1b79720edefe333a3a527003dad69d0c85a3d92b40105a23",
                            "750x530x4 63ba8e0e3a1714545ee3a69eaeafa3079841a3eb50e47d91c097dd8c7c2a899e"};
    QTest::newRow("inverted text mask at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("masking": 1, "mask_type": "text", "mask_text": "LT", "mask_font": "DejaVu Sans", "mask_font_weight": 700, "invert_mask": true)")
            << 37.0f
            << QStringList {"111x78x4 634260001f4f622b44ed445e6f0a5ecab645df9b9e601ff89b857520b99fbf0b",
                            "111x78x4 4a89653f765d12bf2c9aa522529c3bff0710f6c538819f0b993b9b554b84da7a",
                            "111x78x4 646a382ff7f39cdc9f5fbc9fe38d24108ba4c98b1968a9731ef168f58140c26e",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 3b11299dd204182f18c9a3e90a7b6dfff5c6fa942b976ee6927ddc964b9a11c9",
                            "111x78x4 2dae6ab2581e5973e2a6362e5b05052d9b902a788be8f856fbb00f86ccc7aeee"};
    QTest::newRow("inverted text mask at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("masking": 1, "mask_type": "text", "mask_text": "LT", "mask_font": "DejaVu Sans", "mask_font_weight": 700, "invert_mask": true)")
            << 100.0f
            << QStringList {"300x212x4 53c7cdb884895f1c40a194378326a9976c1824f26f3629a5589b8d3608538b87",
                            "300x212x4 8c5c6e3ee1d8e9a65d02fc9d55e77f9965dc359870642e24a4fc7c5804a612d3",
                            "300x212x4 59afd6fbc0428bf2a1c8168ee79673c7a9defdab95bfcb461262a1c319ca6199",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 1a7e88ad37239a0b97481791f7b084d6221fcd53d0d9b9fe87c6337d314697eb",
                            "300x212x4 629188c5a14c207c4283de179be0f960d95c43afc64ae8afd02362aae5224e5d"};
    QTest::newRow("inverted text mask at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(
                       R"("masking": 1, "mask_type": "text", "mask_text": "LT", "mask_font": "DejaVu Sans", "mask_font_weight": 700, "invert_mask": true)")
            << 250.0f
            << QStringList {"750x530x4 63392e690ebcc48e091c8cb752f226f6767ed1ae00ab0e4214db6f461c32fbf2",
                            "750x530x4 df5fd6dfa8e3780c04bcc8611311d029168ee163a4dcbb8fae60e39fb8a37fb0",
                            "750x530x4 3e15b7ba8b14127743c640c6b236fd01270969c515b7deff933830201c1ab826",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 2083203ea1fcee6828e3d18d7323a7857a587bed46a054b0a54c7024ed6cd070",
                            "750x530x4 26e5830c95e4acfe95ddc520efcff9a36bcad232c28c60048f4e510782935dc5"};
    QTest::newRow("file mask at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(R"("masking": 1, "mask_type": "image", "mask_file_path": "mask_ring.png")") << 37.0f
            << QStringList {"111x78x4 bc9d2a8e68141f76e54b18fdfb420811474b06c5b23f821e6faeef0d21c3f474",
                            "111x78x4 fa0c18d2c2fa96c19fb89ab12a45d745151d92a471146af89be7008e48e7fa80",
                            "111x78x4 2d96f51fb625a06fc6887855f6cc62fc0fe816ef02d8b62023472b68e85fb27e",
                            "111x78x4 684cfb302b9df3a0ac686c6967d4ed3729b183980de0fd26113e65c90eb908c1",
                            "111x78x4 7926c6a0e7d89eab3a6d2bf820b1407e9dd00fff37b53e89f69eccd7b4ca7f98",
                            "111x78x4 6f28868955fbb94d6a04aee4476961dab65973ae75180e0ee4716b4fe4738eee"};
    QTest::newRow("file mask at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(R"("masking": 1, "mask_type": "image", "mask_file_path": "mask_ring.png")") << 100.0f
            << QStringList {"300x212x4 2b2e0a373ad475c3ab342a3745a1e1aa0724e5af54aee6390e168bb2e07d5dd5",
                            "300x212x4 e2df56bac2db359f73e7a7a3f4d5a8bff6387274544ceaa76db92d26bb0e154c",
                            "300x212x4 e344db40a7654acee4b2a24e85418b9b1d87d575a0af4c7fb7e77795719d09c8",
                            "300x212x4 745844ac9ed16e056018a1389869fa547d4f6f93a2f0b5d3b07771dfcfcfd4ce",
                            "300x212x4 085413dce42b93e7c68a8bec32dd150a6cf612dee871e755aa9daf2b8f6c84c5",
                            "300x212x4 96a3166f7a2f6789ade71cc39ec21212ff44ef7147adca3f7361682abd239742"};
    QTest::newRow("file mask at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json")
            << smallVariant(R"("masking": 1, "mask_type": "image", "mask_file_path": "mask_ring.png")") << 250.0f
            << QStringList {"750x530x4 6aa888088b0d602aeab9abcb164fcdd74c537278e2e247c587a386f815153df7",
                            "750x530x4 60e0a78eb3fc216ff3569dbd94078d1112e8bdc7a72404609cde70d7ac78c7da",
                            "750x530x4 b6467c81669725134916dea8938bfeee942a3c263d7be3454a3c10e75478b11f",
                            "750x530x4 c0f113b41f2665a7cc373d085310dfd5398da5e4afba9da41f740a7eea52c62d",
                            "750x530x4 0f201a9d612bbc0cb31e230b5832831a92f27fe6d5af2fec16af02b65a6c2003",
                            "750x530x4 2cbeeeb6064298281266a451d7e0650d568f383351a1c5e533a3462ed4772b90"};
    QTest::newRow("one-cell grid under a shadow at 37 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("scale": 20)") << 37.0f
            << QStringList {"111x78x4 edfaddd41b8938c57f5a0b22ce0f1b0b7adb865ee7fdf6a7b55f5032b2f2c528",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7",
                            "111x78x4 bd4408af26b35ed24d5c6c46b80c947798a1d0d045a0f0f3eaa6561178652dd6",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7",
                            "111x78x4 4400400871abeb36eda19c63c05f4d2f71d2e9348b669f01c491a640b49a63b7"};
    QTest::newRow("one-cell grid under a shadow at 100 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("scale": 20)") << 100.0f
            << QStringList {"300x212x4 63039da311ab8f46bdc741445495322df9617c81d4fb853140b1e22c4e9b97b2",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c",
                            "300x212x4 b5a7ec57bf23f739598fa1001653e28e4cba483fe8c4867cf7c395eebc1d6481",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c",
                            "300x212x4 ae0ec1b8f9e5b6636a294dba33c00c6538fe623ed867eef0f9f9ad0e25f0ef2c"};
    QTest::newRow("one-cell grid under a shadow at 250 %, every layer")
            << QStringLiteral("render_showcase_map.json") << smallVariant(R"("scale": 20)") << 250.0f
            << QStringList {"750x530x4 33cd29dfdde660d0707d3908fe0b62063eaa7e5bc00cba51cdecb32be9ce6e55",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df",
                            "750x530x4 ab3062000d60cfd123861ee832a9a7a80358ee0706478c6ee7317971028339a4",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df",
                            "750x530x4 a95d414d736382f80f39f80e51aefd71a39250c677618a491a591fb204bdc2df"};
}

void TestArtworkDigest::pngLayersKeepTheirPixels()
{
    QFETCH(QString, map);
    QFETCH(QByteArray, overrides);
    QFETCH(float, scalePercent);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, overrides));
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.png"));
    QVERIFY(CircuitExporter(generator, renderer).exportPng(file, scalePercent, true).ok());
    QStringList actual;
    for (const ExportFileNames::Entry &entry : ExportFileNames::pngFiles(file))
        actual.append(pixelDigest(entry.file));
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("actual:\n") + asInitializer(actual)));
}

void TestArtworkDigest::binKeepsItsBytes_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<float>("scalePercent");
    QTest::addColumn<QString>("expected");
    QTest::newRow("default map as raw RGB at 100 %")
            << "render_default_map.json" << 100.0f
            << "0d8e1d076b0c4fe22c65328ee92d03b6019895589677d82d6d1475b91b3c3dd3";
    QTest::newRow("file-mask map as raw RGB at 100 %")
            << "render_filemask_map.json" << 100.0f
            << "23f5bc326828a6ca94da5a907c0f065d7a2cf4ffe7b1014af609df994b0870b0";
    QTest::newRow("mixed map as raw RGB at 100 %")
            << "render_mixed_map.json" << 100.0f << "c97747006cfe5a5104678a2c2af1cbaaa257b03c8ec43741e1c03fdd0e4775dc";
    QTest::newRow("showcase map as raw RGB at 100 %")
            << "render_showcase_map.json" << 100.0f
            << "a38123a73cedde7a639e4f8ab1d2ca5d17f57be6e35df3bb361a0f450e2975ec";
    QTest::newRow("showcase map as raw RGB at 37 %")
            << "render_showcase_map.json" << 37.0f
            << "8a8da8c09be4ac66a66471cbe8c9fff12d1bf9384889790a451fe0eb81e054c0";
    QTest::newRow("showcase map as raw RGB at 250 %")
            << "render_showcase_map.json" << 250.0f
            << "cfc2536a9cd6e3b73a553ea503e9a141d16b253878d333cf99da8a71fff39a43";
}

void TestArtworkDigest::binKeepsItsBytes()
{
    QFETCH(QString, map);
    QFETCH(float, scalePercent);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, QByteArray()));
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.bin"));
    QVERIFY(CircuitExporter(generator, renderer).exportBin(file, scalePercent).ok());
    const QString actual = sha256(fileBytes(file));
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("actual: ") + actual));
}

void TestArtworkDigest::showcaseGenerationAndSvgKeepTheirBytes()
{
    CircuitGenerator generator;
    generator.readParameters(sampleMap(QStringLiteral("render_showcase_map.json"), QByteArray()));
    generator.generateCircuit();
    const QString json = sha256(resultMapToJson(generator.resultMap()) + "\n");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CircuitRenderer renderer;
    const QString file = dir.filePath(QStringLiteral("art.svg"));
    QVERIFY(CircuitExporter(generator, renderer).exportSvg(file, false).ok());
    const QStringList actual {json, sha256(fileBytes(file))};
    const QStringList expected {"29812a471249600c9727cd7adbeab0921ca172f797d6f75baa03fba3f4b22f1f",
                                "79ae5b4f4b217c07685ebbc0a39e7186633ceb54a216cbc9f2671158e3330685"};
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("actual:\n") + asInitializer(actual)));
}

QTEST_MAIN(TestArtworkDigest)
#include "tst_artworkdigest.moc"
