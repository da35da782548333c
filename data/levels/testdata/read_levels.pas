{ Reads the level table with Free Pascal's TDbf, a dBASE 7 reader we did not write.
  usage: read_levels FILE   prints the table level, then one line per row:
  X_OFERTAMATRIG|NIVEL_ABREV|NIVEL|ESTUDIO (text as stored, Windows-1252). Point it at a copy. }
program read_levels;

{$mode objfpc}{$H+}

uses
  SysUtils, db, dbf;

var
  Table: TDbf;
begin
  Table := TDbf.Create(nil);
  try
    Table.FilePathFull := ExtractFilePath(ParamStr(1));
    Table.TableName := ExtractFileName(ParamStr(1));
    Table.ReadOnly := True;
    Table.Open;
    WriteLn('level ', Table.TableLevel);
    while not Table.EOF do
    begin
      WriteLn(Table.FieldByName('X_OFERTAMATRIG').AsInteger, '|',
              Table.FieldByName('NIVEL_ABREV').AsString, '|',
              Table.FieldByName('NIVEL').AsString, '|',
              Table.FieldByName('ESTUDIO').AsString);
      Table.Next;
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end.
