-- Cases every independent client runs against the stand-in, in this order, one connection each.
-- "-- case: NAME" starts a case; "-- login: USER:PASSWORD" and "-- database: NAME" change how it
-- connects (default sa:Secret-1 into master). A case's text is sent as one batch.

-- case: login refused
-- login: sa:wrong

-- case: login into a database, as DB-Library clients do it with USE
-- database: Sales
SELECT @@MAX_PRECISION AS max_precision, @@TRANCOUNT AS trancount

-- case: session options a client sets at connect
SET TRANSACTION ISOLATION LEVEL READ COMMITTED SET TEXTSIZE 2147483647 SET IMPLICIT_TRANSACTIONS OFF
SET ANSI_NULLS ON SET ANSI_WARNINGS ON SET ANSI_PADDING ON SET CONCAT_NULL_YIELDS_NULL ON
SET QUOTED_IDENTIFIER ON SET ARITHABORT ON SELECT @@VERSION AS version

-- case: catalogue
exec sp_databases

-- case: use and list tables
USE Sales
exec sp_tables

-- case: every type: create and insert
-- database: Sales
CREATE TABLE AllTypes (c_tinyint TinyInt, c_smallint SmallInt, c_int Int, c_bigint BigInt, c_bit Bit,
 c_real Real, c_float Float, c_decimal Decimal(12,3), c_numeric Numeric(20,0), c_money Money,
 c_smallmoney SmallMoney, c_datetime DateTime, c_smalldatetime SmallDateTime, c_char Char(5),
 c_varchar VarChar(20), c_nchar NChar(3), c_nvarchar NVarChar(20), c_text Text, c_ntext NText,
 c_guid UniqueIdentifier, c_variant SQL_Variant, c_ts TimeStamp)
INSERT INTO AllTypes (c_tinyint, c_smallint, c_int, c_bigint, c_bit, c_real, c_float, c_decimal, c_numeric,
 c_money, c_smallmoney, c_datetime, c_smalldatetime, c_char, c_varchar, c_nchar, c_nvarchar, c_text, c_ntext,
 c_guid, c_variant) VALUES (255, -32768, 2147483647, -9223372036854775808, 'true', '0.5', '-1.25e10',
 '123456789.1239', '12345678901234567890', '-922337203685477.5808', '-214748.3648', 'Jan 31 2024 10:00 PM',
 '2024/01/31 10:20:30', 'ab', 'café', N'ğüş', N'Ωmega ğ', 'long text', N'long ñ text',
 '{6f9619ff-8b86-d011-b42d-00c04fc964ff}', 'variant')
INSERT INTO AllTypes (c_int) VALUES (NULL)

-- case: every type: select
-- database: Sales
SELECT * FROM AllTypes

-- case: import creating a table
-- database: Sales
DECLARE @idoc int
DECLARE @doc varchar(200)
SET @doc ='<orders><order no="7" note="two&#xD;&#xA;lines"><item>Tom'+char(39)+'s pen</item><qty>2</qty></order></orders>'
EXEC sp_xml_preparedocument @idoc OUTPUT, @doc
 SELECT * INTO [Orders]  FROM OPENXML (@idoc, 'orders/order/@no',1) WITH (
 Item VarChar(5) '../item', Qty Int '../qty', OrderNo Int '.', Note VarChar(20) '../@note', Stamp TimeStamp '.')
EXEC sp_xml_removedocument @idoc
SELECT Item, Qty, OrderNo, Note FROM Orders

-- case: import into an existing table
-- database: Sales
DECLARE @idoc int
DECLARE @doc varchar(200)
SET @doc ='<orders><order no="8"><item>ink</item><qty>5</qty></order></orders>'
EXEC sp_xml_preparedocument @idoc OUTPUT, @doc
 INSERT INTO [Orders]  SELECT * FROM OPENXML (@idoc, 'orders/order/@no',1) WITH (
 Item VarChar(5) '../item', Qty Int '../qty', OrderNo Int '.', Note VarChar(20) '../@note', Stamp TimeStamp '.')
EXEC sp_xml_removedocument @idoc
INSERT INTO Orders (Item, Qty, OrderNo) VALUES ('ink', 5, 8)
SELECT COUNT(*) AS orders FROM Orders

-- case: two timestamp columns
-- database: Sales
DECLARE @idoc int
EXEC sp_xml_preparedocument @idoc OUTPUT, '<r><v>1</v></r>'
SELECT * INTO Twice FROM OPENXML (@idoc, 'r/v',1) WITH (a TimeStamp '.', b TimeStamp '.')

-- case: a conversion error ends the batch
-- database: Sales
CREATE TABLE Nums (n int, s smallint)
INSERT INTO Nums VALUES (1, 1)
INSERT INTO Nums VALUES ('2147483648', 1)
INSERT INTO Nums VALUES (3, 3)

-- case: truncation and a smallint overflow
-- database: Sales
INSERT INTO Orders (Item, Qty, OrderNo) VALUES ('toolong', 1, 9)
INSERT INTO Nums (s) VALUES ('40000')
SELECT COUNT(*) AS nums FROM Nums

-- case: a table as users have it
-- database: Sales
CREATE TABLE People (Id int IDENTITY(1,1), Code varchar(5) NOT NULL CONSTRAINT PK_People PRIMARY KEY, Born datetime DEFAULT '1/20/1996')
INSERT INTO People (Code) VALUES ('a')
INSERT INTO People VALUES ('b', '31 January 2024')
SELECT SCOPE_IDENTITY() AS last_id
INSERT INTO People (Id, Code) VALUES (9, 'c')
INSERT INTO People (Born) VALUES ('2024-01-31')
UPDATE People SET Code = 'a' WHERE Id = 2
SELECT * FROM People ORDER BY Id

-- case: everyday statements
-- database: Sales
IF EXISTS (SELECT * FROM People WHERE Code = 'b') PRINT 'found b'
BEGIN TRAN
UPDATE People SET Born = '2024-02-01' WHERE Code = 'a'
DELETE FROM People WHERE Code = 'b'
COMMIT
SELECT COUNT(*) AS people FROM People
TRUNCATE TABLE People
DROP TABLE People
IF NOT EXISTS (SELECT * FROM Nums WHERE n = 5) BEGIN PRINT 'no five' END ELSE PRINT 'five'
