#!/usr/bin/env python3
"""Writes a folder of e-invoice-like documents in the UBL shape, for tests and benchmarks.

Each document has a default namespace with cac: and cbc: prefixes, a signature block in a
namespace of its own that lies deeper than the invoice lines, Turkish text in its values, 1 to
50 invoice lines and 5 to 60 KB; some leave optional elements out. Beside them go one document
that is not well-formed (broken.xml) and one empty file (empty.xml), and expected.tsv: one line
per invoice line, invoice ID, line number, item name. The same seed writes the same folder.

    python3 tools/invoices/make_invoices.py OUT_DIR [--count 1000] [--seed 1]
"""

import argparse
import base64
import os
import random
import sys
from xml.sax.saxutils import escape

NAMESPACES = (
    'xmlns="urn:oasis:names:specification:ubl:schema:xsd:Invoice-2" '
    'xmlns:cac="urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2" '
    'xmlns:cbc="urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2" '
    'xmlns:ext="urn:oasis:names:specification:ubl:schema:xsd:CommonExtensionComponents-2"'
)
DS = "http://www.w3.org/2000/09/xmldsig#"
XADES = "http://uri.etsi.org/01903/v1.3.2#"

ITEMS = [
    "Çay bardağı, ince belli", "Şeker (küp) 1 kg", "Iğdır kayısısı, kurutulmuş",
    "İnce bulgur", "Öğrenci defteri, çizgili", "Güneş kremi SPF 50", "Ayçiçek yağı 5 L",
    "Bakır cezve", "Zeytinyağlı sabun", "Kaşar peyniri, İzmir", "Çikolatalı gofret",
    "Ütü masası örtüsü", "Ağaç kaşık takımı", "Şişe su 0,5 L", "Pırasa (bağ)",
    "Lokum — güllü & fıstıklı", "Değirmen kahve 250 g", "Yün çorap, çocuk",
]
UNITS = ["C62", "KGM", "LTR", "MTR", "BX", "PA"]
CURRENCIES = ["TRY", "TRY", "TRY", "EUR", "USD"]
CITIES = ["İstanbul", "Eskişehir", "Muğla", "Çanakkale", "Şanlıurfa", "Iğdır", "Ağrı", "Düzce"]
NOTES = [
    "Ödeme 30 gün içinde yapılacaktır.", "Yalnız ÜÇYÜZ Türk Lirası'dır.",
    "İrsaliye yerine geçer.", "Malın teslimi: depo çıkışı, İstanbul.",
    "Görüş ve öneriler için: müşteri hizmetleri.",
]

MIN_BYTES = 5 * 1024
MAX_BYTES = 60 * 1024


def blob(rng, length):
    return base64.b64encode(rng.randbytes(length)).decode("ascii")


def signature(rng, invoice_id):
    """ds:Signature with XAdES properties: twelve levels below the root, the lines four."""
    digest = blob(rng, 32)
    return (
        "<ext:UBLExtensions><ext:UBLExtension><ext:ExtensionContent>"
        f'<ds:Signature xmlns:ds="{DS}" Id="Signature_{invoice_id}">'
        "<ds:SignedInfo>"
        '<ds:CanonicalizationMethod Algorithm="http://www.w3.org/TR/2001/REC-xml-c14n-20010315"/>'
        '<ds:SignatureMethod Algorithm="http://www.w3.org/2001/04/xmldsig-more#rsa-sha256"/>'
        '<ds:Reference URI="">'
        '<ds:Transforms><ds:Transform Algorithm="http://www.w3.org/2000/09/xmldsig#enveloped-signature"/></ds:Transforms>'
        '<ds:DigestMethod Algorithm="http://www.w3.org/2001/04/xmlenc#sha256"/>'
        f"<ds:DigestValue>{digest}</ds:DigestValue></ds:Reference></ds:SignedInfo>"
        f"<ds:SignatureValue>{blob(rng, 256)}</ds:SignatureValue>"
        f"<ds:KeyInfo><ds:X509Data><ds:X509Certificate>{blob(rng, 1200)}</ds:X509Certificate>"
        "<ds:X509SubjectName>CN=Örnek Ticaret A.Ş., O=Örnek, C=TR</ds:X509SubjectName>"
        "</ds:X509Data></ds:KeyInfo>"
        f'<ds:Object><xades:QualifyingProperties xmlns:xades="{XADES}" Target="#Signature_{invoice_id}">'
        "<xades:SignedProperties><xades:SignedSignatureProperties>"
        "<xades:SigningTime>2024-01-01T10:00:00</xades:SigningTime>"
        "<xades:SigningCertificate><xades:Cert><xades:CertDigest>"
        '<ds:DigestMethod Algorithm="http://www.w3.org/2001/04/xmlenc#sha256"/>'
        f"<ds:DigestValue>{digest}</ds:DigestValue>"
        "</xades:CertDigest></xades:Cert></xades:SigningCertificate>"
        "</xades:SignedSignatureProperties></xades:SignedProperties>"
        "</xades:QualifyingProperties></ds:Object></ds:Signature>"
        "</ext:ExtensionContent></ext:UBLExtension></ext:UBLExtensions>"
    )


def party(rng, role, name):
    city = rng.choice(CITIES)
    return (
        f"<cac:{role}><cac:Party>"
        f'<cac:PartyIdentification><cbc:ID schemeID="VKN">{rng.randrange(10**9, 10**10)}</cbc:ID></cac:PartyIdentification>'
        f"<cac:PartyName><cbc:Name>{escape(name)}</cbc:Name></cac:PartyName>"
        "<cac:PostalAddress>"
        f"<cbc:StreetName>Atatürk Cd. No:{rng.randrange(1, 200)}</cbc:StreetName>"
        f"<cbc:CitySubdivisionName>Merkez</cbc:CitySubdivisionName><cbc:CityName>{city}</cbc:CityName>"
        "<cac:Country><cbc:Name>Türkiye</cbc:Name></cac:Country></cac:PostalAddress>"
        f"<cac:PartyTaxScheme><cac:TaxScheme><cbc:Name>{city} Vergi Dairesi</cbc:Name></cac:TaxScheme></cac:PartyTaxScheme>"
        f"</cac:Party></cac:{role}>"
    )


def money(name, amount, currency):
    return f'<cbc:{name} currencyID="{currency}">{amount:.2f}</cbc:{name}>'


def invoice_line(rng, number, currency, lean):
    """One line; a lean document leaves every optional element out."""
    item = rng.choice(ITEMS)
    quantity = rng.randrange(1, 500) / (1 if rng.random() < 0.7 else 4)
    price = rng.randrange(100, 1000000) / 100
    amount = quantity * price
    parts = [f"<cac:InvoiceLine><cbc:ID>{number}</cbc:ID>"]
    if not lean and rng.random() < 0.5:
        parts.append(f"<cbc:Note>{escape(rng.choice(NOTES))}</cbc:Note>")
    parts.append(f'<cbc:InvoicedQuantity unitCode="{rng.choice(UNITS)}">{quantity:g}</cbc:InvoicedQuantity>')
    parts.append(money("LineExtensionAmount", amount, currency))
    if not lean and rng.random() < 0.4:
        parts.append(
            "<cac:AllowanceCharge><cbc:ChargeIndicator>false</cbc:ChargeIndicator>"
            "<cbc:MultiplierFactorNumeric>0.05</cbc:MultiplierFactorNumeric>"
            + money("Amount", amount * 0.05, currency)
            + money("BaseAmount", amount, currency)
            + "</cac:AllowanceCharge>"
        )
    parts.append(
        "<cac:TaxTotal>" + money("TaxAmount", amount * 0.2, currency)
        + "<cac:TaxSubtotal>" + money("TaxableAmount", amount, currency)
        + money("TaxAmount", amount * 0.2, currency)
        + "<cbc:Percent>20</cbc:Percent><cac:TaxCategory><cac:TaxScheme>"
        "<cbc:Name>KDV GERCEK</cbc:Name><cbc:TaxTypeCode>0015</cbc:TaxTypeCode>"
        "</cac:TaxScheme></cac:TaxCategory></cac:TaxSubtotal></cac:TaxTotal>"
    )
    parts.append("<cac:Item>")
    if not lean and rng.random() < 0.5:
        parts.append(f"<cbc:Description>{escape(item)}, açıklama: özel üretim</cbc:Description>")
    parts.append(f"<cbc:Name>{escape(item)}</cbc:Name>")
    if not lean and rng.random() < 0.6:
        parts.append(f"<cac:SellersItemIdentification><cbc:ID>STK-{rng.randrange(10**5)}</cbc:ID></cac:SellersItemIdentification>")
    parts.append("</cac:Item>")
    parts.append(f"<cac:Price>{money('PriceAmount', price, currency)}</cac:Price></cac:InvoiceLine>")
    return "".join(parts), item


def invoice(rng, index, line_count):
    invoice_id = f"GIB2024{index:09d}"
    currency = rng.choice(CURRENCIES)
    lean = index % 7 == 0
    issue_date = f"2024-{rng.randrange(1, 13):02d}-{rng.randrange(1, 29):02d}"
    head = [
        '<?xml version="1.0" encoding="UTF-8"?>\n',
        f"<Invoice {NAMESPACES}>",
        signature(rng, invoice_id),
        "<cbc:UBLVersionID>2.1</cbc:UBLVersionID><cbc:CustomizationID>TR1.2</cbc:CustomizationID>",
        "<cbc:ProfileID>TICARIFATURA</cbc:ProfileID>",
        f"<cbc:ID>{invoice_id}</cbc:ID><cbc:CopyIndicator>false</cbc:CopyIndicator>",
        f"<cbc:UUID>{rng.randbytes(16).hex()}</cbc:UUID>",
        f"<cbc:IssueDate>{issue_date}</cbc:IssueDate>",
    ]
    if not lean:
        head.append(f"<cbc:IssueTime>{rng.randrange(24):02d}:{rng.randrange(60):02d}:00</cbc:IssueTime>")
    head.append("<cbc:InvoiceTypeCode>SATIS</cbc:InvoiceTypeCode>")
    if not lean:
        head.extend(f"<cbc:Note>{escape(note)}</cbc:Note>" for note in rng.sample(NOTES, 2))
    head.append(f"<cbc:DocumentCurrencyCode>{currency}</cbc:DocumentCurrencyCode>")
    head.append(f"<cbc:LineCountNumeric>{line_count}</cbc:LineCountNumeric>")
    head.append(party(rng, "AccountingSupplierParty", "Örnek Ticaret A.Ş."))
    head.append(party(rng, "AccountingCustomerParty", f"Müşteri {index} Ltd. Şti."))
    lines, names = [], []
    for number in range(1, line_count + 1):
        text, name = invoice_line(rng, number, currency, lean)
        lines.append(text)
        names.append(name)
    tail = ("<cac:LegalMonetaryTotal>" + money("PayableAmount", 1.0, currency)
            + "</cac:LegalMonetaryTotal></Invoice>\n")
    document = "".join(head) + "\n" + "\n".join(lines) + "\n" + tail
    data = document.encode("utf-8")
    if len(data) < MIN_BYTES:  # a short invoice is padded with a note about delivery
        pad = "Teslimat notu: " + "ğüşıöç " * ((MIN_BYTES - len(data)) // 14 + 1)
        document = document.replace("<cbc:InvoiceTypeCode>", f"<cbc:Note>{pad}</cbc:Note><cbc:InvoiceTypeCode>", 1)
        data = document.encode("utf-8")
    return invoice_id, data, names


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir")
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    os.makedirs(args.out_dir, exist_ok=True)
    expected = []
    for index in range(1, args.count + 1):
        line_count = rng.randrange(1, 51)
        invoice_id, data, names = invoice(rng, index, line_count)
        while len(data) > MAX_BYTES:  # keep within 60 KB: one line fewer
            line_count -= 1
            invoice_id, data, names = invoice(random.Random(args.seed * 100003 + index), index, line_count)
        with open(os.path.join(args.out_dir, f"invoice-{index:04d}.xml"), "wb") as out:
            out.write(data)
        expected.extend(f"{invoice_id}\t{n}\t{name}" for n, name in enumerate(names, 1))
    good = data.decode("utf-8")
    with open(os.path.join(args.out_dir, "broken.xml"), "wb") as out:
        out.write(good[: len(good) // 2].encode("utf-8"))  # cut in the middle: no end tags
    open(os.path.join(args.out_dir, "empty.xml"), "wb").close()
    with open(os.path.join(args.out_dir, "expected.tsv"), "w", encoding="utf-8") as out:
        out.write("\n".join(expected) + "\n")
    print(f"{args.count} invoices, {len(expected)} lines, in {args.out_dir}", file=sys.stderr)


if __name__ == "__main__":
    main()
