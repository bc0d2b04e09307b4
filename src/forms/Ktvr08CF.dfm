inherited frmKtvr08: TfrmKtvr08
  Caption = '生产入库单报表'
end
