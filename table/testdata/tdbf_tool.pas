{ A dBASE 7 writer and reader we did not write: Free Pascal's TDbf.
  usage: tdbf_tool write FILE   creates a level 7 table with three rows
         tdbf_tool read FILE    prints the field list and every row, one line each
         tdbf_tool tags FILE [fill]  opens the table with its production index, prints each tag;
                                with fill, appends ORDEN 3, 1, 2 and walks the first tag
  Point it only at copies: TDbf may rewrite a table's index flag when it opens it. }
program tdbf_tool;

{$mode objfpc}{$H+}

uses
  SysUtils, db, dbf;

procedure WriteTable(const FileName: string);
var
  Table: TDbf;

  procedure AddRow(const Name: string; Quantity: Integer; Price: Double; Active: Boolean);
  begin
    Table.Append;
    Table.FieldByName('NOMBRE_LARGO_DEL_CAMPO').AsString := Name;
    Table.FieldByName('CANTIDAD').AsInteger := Quantity;
    Table.FieldByName('PRECIO').AsFloat := Price;
    Table.FieldByName('ACTIVO').AsBoolean := Active;
    Table.Post;
  end;

begin
  Table := TDbf.Create(nil);
  try
    Table.FilePathFull := ExtractFilePath(FileName);
    Table.TableName := ExtractFileName(FileName);
    Table.TableLevel := 7;
    Table.FieldDefs.Add('NOMBRE_LARGO_DEL_CAMPO', ftString, 20);
    Table.FieldDefs.Add('CANTIDAD', ftInteger);
    Table.FieldDefs.Add('PRECIO', ftFloat);
    Table.FieldDefs.Add('ACTIVO', ftBoolean);
    Table.FieldDefs.Add('VACIO', ftInteger);
    Table.CreateTable;
    Table.Open;
    AddRow('N'#$FA#$F1'ez', 42, 3.5, True);
    AddRow('Zo'#$EB, -7, -0.25, False);
    AddRow('grande', 2000000000, 123456.789, True);
    Table.Close;
  finally
    Table.Free;
  end;
end;

procedure ReadTable(const FileName: string);
var
  Table: TDbf;
  I: Integer;
  Line: string;
begin
  Table := TDbf.Create(nil);
  try
    Table.FilePathFull := ExtractFilePath(FileName);
    Table.TableName := ExtractFileName(FileName);
    Table.ReadOnly := True;
    Table.Open;
    WriteLn('level ', Table.TableLevel);
    Line := '';
    for I := 0 to Table.FieldCount - 1 do
      Line := Line + Table.Fields[I].FieldName + ':' + IntToStr(Ord(Table.Fields[I].DataType)) + ' ';
    WriteLn('fields ', Line);
    Table.First;
    while not Table.EOF do
    begin
      Line := '';
      for I := 0 to Table.FieldCount - 1 do
      begin
        if I > 0 then Line := Line + '|';
        if Table.Fields[I].IsNull then Line := Line + '<null>'
        else Line := Line + Table.Fields[I].AsString;
      end;
      WriteLn('row ', Line);
      Table.Next;
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end;

procedure ListTags(const FileName: string);
const
  FillOrder: array[0..2] of Integer = (3, 1, 2);
var
  Table: TDbf;
  I: Integer;
begin
  Table := TDbf.Create(nil);
  try
    Table.FilePathFull := ExtractFilePath(FileName);
    Table.TableName := ExtractFileName(FileName);
    Table.Open;
    for I := 0 to Table.Indexes.Count - 1 do
      WriteLn('tag ', Table.Indexes[I].IndexFile, ' expression ', Table.Indexes[I].SortField,
              ' options ', Integer(Table.Indexes[I].Options));
    Table.IndexName := Table.Indexes[0].IndexFile;
    Table.First;
    WriteLn('rows by tag ', Table.RecordCount, ' eof ', Table.EOF);
    if ParamStr(3) = 'fill' then
    begin
      { The index must take keys as TDbf maintains it: rows 3, 1, 2 come back in key order. }
      for I := 0 to High(FillOrder) do
      begin
        Table.Append;
        Table.FieldByName('ORDEN').AsInteger := FillOrder[I];
        Table.Post;
      end;
      Table.First;
      Write('order');
      while not Table.EOF do
      begin
        Write(' ', Table.FieldByName('ORDEN').AsInteger);
        Table.Next;
      end;
      WriteLn;
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end;

begin
  DefaultFormatSettings.DecimalSeparator := '.';
  if ParamStr(1) = 'write' then WriteTable(ParamStr(2))
  else if ParamStr(1) = 'read' then ReadTable(ParamStr(2))
  else if ParamStr(1) = 'tags' then ListTags(ParamStr(2))
  else
  begin
    WriteLn(StdErr, 'usage: tdbf_tool write|read|tags FILE');
    Halt(2);
  end;
end.
